#include "writer/page_geometry.h"

#include "writer/color_table.h"
#include "writer/font_table.h"

namespace vellumox {

PageGeometry PageGeometry::From(const ConversionSettings& s) {
  PageGeometry g;
  g.UseTextFormating = s.UseTextFormating;
  g.PageHeight = RoundToInt32(72.0 * s.pheight).value_or(0);
  g.PageWidth = RoundToInt32(72.0 * s.pwidth).value_or(0);
  g.FontSize = Fixed4::FromInt(s.FontSize);
  g.Leading = Fixed4::FromDouble(s.FontSize * 1.2);
  g.TopMarginPt = RoundToInt32(72.0 * s.TopMargin).value_or(0);
  if (g.Leading.ticks() != 0) {
    // Divided exactly: the leading has four decimals, so an exact half (7.5 lines) is seen as
    // one and goes to the even neighbour.
    g.LinesPerPage = DivideRoundHalfEven(
        (static_cast<int64_t>(g.PageHeight) - 2 * static_cast<int64_t>(g.TopMarginPt)) *
            Fixed4::kScale,
        g.Leading.ticks());
  }
  g.LeftMarginPt = RoundToInt32(s.Margin * 72.0).value_or(0);
  if (s.FontSize != 0) {
    double k = FontWidthFactor(s.FontName);
    auto chars = RoundToInt32(k * g.PageWidth / s.FontSize);
    if (chars) g.CharsPerLine = *chars + 20 - g.LeftMarginPt / 2;
  }
  // With a font size of 0 or less every glyph is 0 wide, and only the room counts.
  const int64_t room = 1000 * (static_cast<int64_t>(g.PageWidth) - 2 * g.LeftMarginPt);
  g.LineWidthLimit =
      s.FontSize > 0 ? (room < 0 ? -1 : room / s.FontSize) : (room < 0 ? -1 : INT64_MAX);
  g.ForeColor = std::string(ColorOperands(s.ForeColorIndex));
  return g;
}

}  // namespace vellumox
