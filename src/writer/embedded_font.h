// A TrueType face embedded as a subset of the glyphs that a document shows with it: a Type0
// font with the Identity-H encoding over a CIDFontType2 descendant, the widths of the glyphs
// used, a font descriptor, the subset program (FontFile2) and a ToUnicode CMap, so that readers
// give back the characters typed. All of it is PDF 1.3. Its text is UTF-8; runs are shaped by
// HarfBuzz (joining, reordering, ligatures, marks) word by word, each word once while the face
// keeps it (shaped_words.h), and shown as strings of two-byte codes (literal, or hex where that
// is shorter), with position adjustments where the shaper moves a glyph from where its width
// puts it. The objects are written at the end of the document, once the glyph set is known.
//
// CIDs are handed out from 1 in the order that glyphs are first shown, one for each glyph with
// the text it stands for and its width (a ligature, a form shared by two letters, a blank as
// wide as the standard font's get CIDs of their own), and a CIDToGIDMap maps each CID to its
// glyph.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "writer/font.h"
#include "writer/shaped_words.h"

namespace vellumox {

class OperandWriter;

class EmbeddedFont final : public Font {
 public:
  // The face at index of a font file; nullptr when it cannot be read or has no TrueType
  // outlines (a glyf table). resource: its resource name ("F21").
  static std::unique_ptr<EmbeddedFont> Open(const std::string& path, unsigned index,
                                            std::string resource);
  ~EmbeddedFont() override;
  EmbeddedFont(const EmbeddedFont&) = delete;
  EmbeddedFont& operator=(const EmbeddedFont&) = delete;

  // The name and object of the instance that text is shown in now (see below).
  const std::string& ResourceName() const override { return instances_.back()->resource; }
  int32_t ObjectNumber() const override { return instances_.back()->type0; }
  std::vector<std::pair<std::string, int32_t>> Resources() const override;
  void SetResourceNamer(std::function<std::string()> namer) override { namer_ = std::move(namer); }
  void Shape(std::string_view text, std::vector<ShapedGlyph>& glyphs) const override;
  int64_t Width(std::string_view text) const override;
  TextFit Fit(std::string_view text, int64_t max_width, size_t max_encoded) const override;
  using Font::Encode;
  void Encode(std::span<const ShownText> texts, double size, std::string& out) const override;
  size_t EncodedLength(std::string_view text) const override;
  void ReserveObjects(ObjectTable& objects) override;
  bool WrittenWithTheFrame() const override { return false; }
  void WriteObjects(PdfObjectSink& sink) const override;

  // Whether the face has a glyph for a character, with its outline there in the face's file
  // (and not empty, unless the character is drawn as nothing).
  bool Covers(char32_t character) const;
  // The face's PostScript name, as a PDF name holds it.
  const std::string& PostScriptName() const { return name_; }
  // The most CIDs that one instance of the face hands out: 65,535, what two-byte codes hold (a
  // test sets fewer). When an instance is full, the text that follows is shown in a new
  // instance of the same face, a Type0 font of its own under the next resource name.
  void SetCidLimit(uint32_t limit) { cid_limit_ = limit; }
  size_t InstanceCount() const { return instances_.size(); }

 private:
  struct Face;
  // The glyph that a CID shows, and the characters it stands for (empty for the second and
  // later glyphs of a cluster, whose characters the first one carries).
  struct CidEntry {
    uint32_t glyph = 0;
    std::string text;
    int32_t width = 0;  // in the W array, thousandths of the size
  };
  // Shapes text in a direction, or, without one (a text measured), in its script's: word by
  // word, each shaped once while the face keeps it (shaped_words.h).
  void ShapeInto(std::string_view text, std::optional<TextDirection> direction,
                 std::vector<ShapedGlyph>& glyphs) const;
  // Shapes one word with the shaper, in a script and direction.
  void ShapeWord(std::string_view text, uint32_t script, bool right_to_left,
                 std::vector<ShapedGlyph>& glyphs) const;
  // Calls use(word, its text, its start in text, right_to_left) for each word of text, in the
  // order shown, each shaped (ShapeWord) when the face does not keep it yet. The word is valid
  // until use returns.
  template <class Use>
  void ForEachWord(std::string_view text, std::optional<TextDirection> direction, Use use) const;
  // Shows a word, its codes made in the current instance when they are not yet.
  void EncodeWord(ShapedWord& word, std::string_view text, bool right_to_left,
                  OperandWriter& writer) const;
  void MakeCodes(ShapedWord& word, std::string_view text, bool right_to_left,
                 OperandWriter& writer) const;
  // Writes a word's codes of glyphs from to to, with the events between them.
  static void ShowCodes(const ShapedWord& word, size_t from, size_t to, OperandWriter& writer);
  // Shows a blank (the shaped word " ") as wide as width.
  void EncodeBlank(const ShapedWord& word, int32_t width, OperandWriter& writer) const;
  // One Type0 font of the face: its resource name, its objects and the CIDs it hands out.
  struct Instance {
    std::string resource;
    std::map<uint32_t, CidEntry> cids;  // CID → what it shows
    // (glyph, text, width) → CID
    std::map<std::tuple<uint32_t, std::string, int32_t>, uint32_t> cid_of;
    uint32_t next_cid = 1;  // CID 0 is the face's .notdef
    int32_t type0 = 0, cid_font = 0, descriptor = 0, font_file = 0, to_unicode = 0, cid_map = 0;
  };
  // The CID that shows glyph for text with a width in the current instance, taken anew when
  // this is first shown; switched is set when a full instance made way for a new one.
  uint32_t CidFor(uint32_t glyph, std::string_view text, int32_t width, bool& switched) const;
  void ReserveInstanceObjects(Instance& instance) const;
  EmbeddedFont(std::unique_ptr<Face> face, std::string resource);
  // The subset tag: six capital letters drawn from the glyph set, so that two subsets of one
  // face in one reader never share a name.
  static std::string SubsetTag(const Instance& instance);
  static std::string ToUnicodeCMap(const Instance& instance);
  std::string WidthArray(const Instance& instance) const;
  // The font program of the glyphs shown and each CID's glyph in it, in CID order; false when
  // the subsetter cannot make it. lean: without the tables that the PDF does not read.
  bool SubsetProgram(const Instance& instance, bool lean, std::string& program,
                     std::vector<uint32_t>& new_glyphs) const;
  void WriteInstance(const Instance& instance, PdfObjectSink& sink) const;

  std::unique_ptr<Face> face_;
  std::string name_;
  mutable std::vector<std::unique_ptr<Instance>> instances_;  // the last one takes new text
  mutable ObjectTable* objects_ = nullptr;  // the document's, for the objects of new instances
  std::function<std::string()> namer_;      // the resource name of a new instance
  uint32_t cid_limit_ = 0xFFFF;
  mutable ShapedWords words_;
  mutable std::string key_scratch_;
  mutable std::vector<std::pair<uint32_t, uint32_t>> bounds_scratch_;  // of the words of a text
  // The CID of the blank of a width, in an instance.
  struct BlankCid {
    uint32_t instance = 0;
    int32_t width = -1;
    uint32_t cid = 0;
  };
  mutable BlankCid blank_;
};

}  // namespace vellumox
