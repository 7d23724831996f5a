// The standard fonts that every document declares: F0, the document's font by the name the
// settings give, and F1 to F20, the font table's, all Type1 in one WinAnsi encoding. One byte of
// Windows-1252 is one glyph; advances come from the glyph-width table.
#pragma once

#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <string_view>

#include "writer/font.h"
#include "writer/font_table.h"
#include "writer/glyph_widths.h"

namespace vellumox {

class StandardFont final : public Font {
 public:
  StandardFont(std::string resource, std::string base_font, FaceStyle style,
               const GlyphWidthTable& widths, const int32_t& encoding_object)
      : resource_(std::move(resource)),
        base_font_(std::move(base_font)),
        style_(style),
        widths_(widths),
        widest_(*std::max_element(widths.begin(), widths.end())),
        encoding_object_(encoding_object) {}

  const std::string& ResourceName() const override { return resource_; }
  int32_t ObjectNumber() const override { return object_; }
  // The name after "/BaseFont /" ("Courier-Bold").
  const std::string& BaseFont() const { return base_font_; }
  // Its family's class, bold and italic, from its place in the font table.
  const FaceStyle& Style() const { return style_; }
  void Shape(std::string_view text, std::vector<ShapedGlyph>& glyphs) const override;
  int64_t Width(std::string_view text) const override;
  // A text whose every byte could be the widest glyph and still fit needs no sum: a good share
  // of a document's lines are that short.
  bool FitsWithin(std::string_view text, int64_t max_width) const override {
    return static_cast<int64_t>(text.size()) * widest_ <= max_width || Width(text) <= max_width;
  }
  TextFit Fit(std::string_view text, int64_t max_width, size_t max_encoded) const override;
  using Font::Encode;
  void Encode(std::span<const ShownText> texts, double size, std::string& out) const override;
  size_t EncodedLength(std::string_view text) const override;
  bool EncodesBytesAsText() const override { return true; }
  void ReserveObjects(ObjectTable& objects) override { object_ = objects.Reserve(); }
  void WriteObjects(PdfObjectSink& sink) const override;

 private:
  std::string resource_;
  std::string base_font_;
  FaceStyle style_;  // as a PDF name, without the slash
  const GlyphWidthTable& widths_;
  int64_t widest_;
  const int32_t& encoding_object_;  // the shared encoding, reserved after the fonts
  int32_t object_ = 0;
};

class StandardFonts {
 public:
  // The fonts of a document whose font is font_name.
  explicit StandardFonts(std::string_view font_name);
  StandardFonts(const StandardFonts&) = delete;
  StandardFonts& operator=(const StandardFonts&) = delete;

  // F0.
  const Font& Document() const { return *fonts_[0]; }
  // The font table's font at position 1 to kFontCount (resource F1 to F20).
  const Font& TableFont(int position) const { return *fonts_[static_cast<size_t>(position)]; }
  // The document font's position in the font table, -1 for a name that is not there.
  int DocumentFontIndex() const { return document_index_; }
  // F0 to F20 in resource order.
  const std::array<std::unique_ptr<StandardFont>, kFontCount + 1>& All() const { return fonts_; }

  // The fonts' objects, then the encoding's.
  void ReserveObjects(ObjectTable& objects);
  void WriteObjects(PdfObjectSink& sink) const;

 private:
  int document_index_ = -1;
  int32_t encoding_object_ = 0;
  std::array<std::unique_ptr<StandardFont>, kFontCount + 1> fonts_;
};

}  // namespace vellumox
