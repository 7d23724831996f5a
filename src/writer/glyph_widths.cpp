#include "writer/glyph_widths.h"

#include "writer/font_table.h"

namespace vellumox {

const GlyphWidthTable& GlyphWidthsOf(int font_index) {
  constexpr int kCourier = 0, kTimes = 4, kHelvetica = 8;
  if (font_index < 0 || font_index >= kFontCount) return kGlyphWidths[kHelvetica];
  // The font table comes in families of four: regular, italic, bold, bold italic.
  static constexpr int kFamilies[] = {kCourier, kTimes, kHelvetica, kHelvetica, kCourier};
  return kGlyphWidths[static_cast<size_t>(kFamilies[font_index / 4] + font_index % 4)];
}

}  // namespace vellumox
