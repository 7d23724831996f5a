// Where the text stands on the page being written: the count of lines laid out, the vertical
// position (points from the top edge) that tab tags and pictures move, and where lines start.
#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>

#include "writer/number_text.h"
#include "writer/page_geometry.h"

namespace vellumox {

class PageCursor {
 public:
  // The top of a new page.
  void NewPage(const PageGeometry& geometry) {
    leading_ = geometry.Leading;
    line_ = 1;
    vertical_ = static_cast<float>(geometry.TopMarginPt);
    line_start_ = geometry.LeftMarginPt;
  }

  int32_t Line() const { return line_; }
  float Vertical() const { return vertical_; }

  // One text line more: the line count and the vertical position move on by one line.
  void AdvanceLine() {
    line_ += 1;
    AdvanceVertical();
  }
  // The vertical position moves on by the line spacing.
  void AdvanceVertical() {
    vertical_ = static_cast<float>((Fixed4::FromDouble(vertical_) + leading_).ToDouble());
  }
  // A larger element counts as this many lines (rounded); the count stays far from overflow.
  void AddLines(double lines) {
    line_ = static_cast<int32_t>(std::min<double>(static_cast<double>(line_) + lines,
                                                  std::numeric_limits<int32_t>::max() / 2));
  }
  void SetVertical(float vertical) { vertical_ = vertical; }
  // Where text lines start (points from the left edge): the left margin, or where the last tab
  // tag of the page moved the text, since each next line starts below that.
  int32_t LineStart() const { return line_start_; }
  void SetLineStart(int32_t x) { line_start_ = x; }
  // Moves the line count (for tests that start near the page's end).
  void SetLine(int32_t line) { line_ = line; }

 private:
  Fixed4 leading_;
  int32_t line_ = 1;
  float vertical_ = 0;
  int32_t line_start_ = 0;
};

}  // namespace vellumox
