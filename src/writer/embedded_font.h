// A TrueType face embedded as a subset of the glyphs that a document shows with it: a Type0
// font with the Identity-H encoding over a CIDFontType2 descendant, the widths of the glyphs
// used, a font descriptor, the subset program (FontFile2) and a ToUnicode CMap, so that readers
// give back the characters typed. All of it is PDF 1.3. Its text is UTF-8; runs are shaped by
// HarfBuzz (joining, reordering, ligatures, marks) and shown as hex strings of two-byte codes,
// with position adjustments where the shaper moves a glyph from where its width puts it. The
// objects are written at the end of the document, once the glyph set is known.
//
// A CID is the glyph's number in the face (the subset keeps glyphs at their numbers), for the
// first text the glyph stands for; a glyph that also stands for another text (a ligature, a
// form shared by two letters) gets a CID of its own for that text beyond the face's glyphs,
// and a CIDToGIDMap then maps each CID to its glyph.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "writer/font.h"

namespace vellumox {

class EmbeddedFont final : public Font {
 public:
  // The face at index of a font file; nullptr when it cannot be read or has no TrueType
  // outlines (a glyf table). resource: its resource name ("F21").
  static std::unique_ptr<EmbeddedFont> Open(const std::string& path, unsigned index,
                                            std::string resource);
  ~EmbeddedFont() override;
  EmbeddedFont(const EmbeddedFont&) = delete;
  EmbeddedFont& operator=(const EmbeddedFont&) = delete;

  const std::string& ResourceName() const override { return resource_; }
  int32_t ObjectNumber() const override { return type0_; }
  void Shape(std::string_view text, std::vector<ShapedGlyph>& glyphs) const override;
  int64_t Width(std::string_view text) const override;
  TextFit Fit(std::string_view text, int64_t max_width, size_t max_encoded) const override;
  void Encode(std::string_view text, TextDirection direction, double size,
              std::string& out) const override;
  size_t EncodedLength(std::string_view text) const override;
  void ReserveObjects(ObjectTable& objects) override;
  bool WrittenWithTheFrame() const override { return false; }
  void WriteObjects(PdfObjectSink& sink) const override;

  // Whether the face has a glyph for a character.
  bool Covers(char32_t character) const;
  // The face's PostScript name, as a PDF name holds it.
  const std::string& PostScriptName() const { return name_; }

 private:
  struct Face;
  // The glyph that a CID shows, and the characters it stands for (empty for the second and
  // later glyphs of a cluster, whose characters the first one carries).
  struct CidEntry {
    uint32_t glyph = 0;
    std::string text;
  };
  void ShapeInto(std::string_view text, TextDirection direction,
                 std::vector<ShapedGlyph>& glyphs) const;
  // The CID that shows glyph for text, taken anew when this pair is first shown.
  uint32_t CidFor(uint32_t glyph, std::string_view text) const;
  EmbeddedFont(std::unique_ptr<Face> face, std::string resource);
  // The subset tag: six capital letters drawn from the glyph set, so that two subsets of one
  // face in one reader never share a name.
  std::string SubsetTag() const;
  std::string ToUnicodeCMap() const;
  std::string WidthArray() const;
  std::string CidToGidMap() const;

  std::unique_ptr<Face> face_;
  std::string resource_;
  std::string name_;
  mutable std::map<uint32_t, CidEntry> cids_;                            // CID → what it shows
  mutable std::map<std::pair<uint32_t, std::string>, uint32_t> cid_of_;  // (glyph, text) → CID
  mutable uint32_t next_cid_ = 1;  // CID 0 is the face's .notdef
  mutable std::vector<ShapedGlyph> scratch_;
  int32_t type0_ = 0, cid_font_ = 0, descriptor_ = 0, font_file_ = 0, to_unicode_ = 0, cid_map_ = 0;
};

}  // namespace vellumox
