// The widths of the glyphs of the standard fonts in WinAnsiEncoding, so that line printing can
// tell whether a line fits between the margins.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace vellumox {

// Widths in thousandths of the font size, by code; 0 for a code without a glyph.
using GlyphWidthTable = std::array<uint16_t, 256>;

inline constexpr int kMetricFontCount = 12;
// Courier, Times and Helvetica, each regular, italic, bold and bold italic, in that order.
extern const std::array<GlyphWidthTable, kMetricFontCount> kGlyphWidths;

// The metrics of a document font, by its position in the font table (-1 for a name that is not
// there): the Courier and CourierNew names take Courier's, the Times names their own, the
// Helvetica and Arial names, and any other name, Helvetica's.
const GlyphWidthTable& GlyphWidthsOf(int font_index);

}  // namespace vellumox
