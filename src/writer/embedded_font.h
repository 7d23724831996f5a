// A TrueType face embedded as a subset of the glyphs that a document shows with it: a Type0
// font with the Identity-H encoding over a CIDFontType2 descendant whose CIDs are the face's
// glyph numbers (the subset keeps them in place), the widths of the glyphs used, a font
// descriptor, the subset program (FontFile2) and a ToUnicode CMap, so that readers give back
// the characters typed. All of it is PDF 1.3. Its text is UTF-8; runs are shaped by HarfBuzz
// and shown as hex strings of two-byte codes. The objects are written at the end of the
// document, once the glyph set is known.
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
  void Encode(std::string_view text, std::string& out) const override;
  size_t EncodedLength(std::string_view text) const override;
  void ReserveObjects(ObjectTable& objects) override;
  bool WrittenWithTheFrame() const override { return false; }
  void WriteObjects(PdfObjectSink& sink) const override;

  // Whether the face has a glyph for a character.
  bool Covers(char32_t character) const;
  // The face's PostScript name, as a PDF name holds it.
  const std::string& PostScriptName() const { return name_; }
  // The glyphs shown so far, with the characters each was first shown for.
  const std::map<uint32_t, std::string>& GlyphsUsed() const { return used_; }

 private:
  struct Face;
  EmbeddedFont(std::unique_ptr<Face> face, std::string resource);
  // The subset tag: six capital letters drawn from the glyph set, so that two subsets of one
  // face in one reader never share a name.
  std::string SubsetTag() const;
  std::string ToUnicodeCMap() const;
  std::string WidthArray() const;

  std::unique_ptr<Face> face_;
  std::string resource_;
  std::string name_;
  mutable std::map<uint32_t, std::string> used_;  // glyph → UTF-8 of its cluster
  mutable std::map<uint32_t, int32_t> advances_;  // glyph → advance, thousandths of an em
  int32_t type0_ = 0, cid_font_ = 0, descriptor_ = 0, font_file_ = 0, to_unicode_ = 0;
};

}  // namespace vellumox
