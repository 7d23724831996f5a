// The figures of a document's pages, derived once from its settings: the page, its margins,
// the text's size, spacing and colour, and how many lines and characters a page holds. Layout
// places text by them; the writer frames each page with them.
#pragma once

#include <cstdint>
#include <string>

#include "writer/conversion_settings.h"
#include "writer/number_text.h"

namespace vellumox {

struct PageGeometry {
  int32_t PageWidth = 0;
  int32_t PageHeight = 0;
  int32_t LeftMarginPt = 0;
  int32_t TopMarginPt = 0;
  Fixed4 FontSize;
  Fixed4 Leading;  // FontSize x 1.2
  int32_t LinesPerPage = 0;
  int32_t CharsPerLine = 0;  // the wrap width, in characters of the escaped text
  // The room between the margins (page width less twice the left margin) in thousandths of a
  // point divided by the font size, so that a text fits when the sum of its glyph widths is not
  // above it; -1 when there is no room.
  int64_t LineWidthLimit = 0;
  std::string ForeColor;  // "rg" operands of the text's colour
  bool UseTextFormating = false;

  static PageGeometry From(const ConversionSettings& settings);
};

}  // namespace vellumox
