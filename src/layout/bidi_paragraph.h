// A paragraph of styled UTF-8 text (a markup line's texts, each in its element's style) laid out
// as its readers write it: the bidirectional levels decided for the whole paragraph across its
// elements, lines broken at blanks where the room ends (the words of a line longer than a line
// cut between characters), and each line's runs put in display order, left to right. A
// right-to-left paragraph's lines are aligned at the right.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vellumox {

// One text of the paragraph, in one style; a break ends the line before it (a "<p>" or "<br>").
struct StyledText {
  std::string text;
  int style = 0;
  bool break_before = false;
};

// A run of one level and one style, in the order it stands from left to right.
struct VisualRun {
  std::string text;  // in typed order (a right-to-left run is shown reversed)
  int style = 0;
  bool right_to_left = false;
};

struct VisualLine {
  std::vector<VisualRun> runs;  // from left to right
  double width = 0;             // of its runs, in points
};

// The width of a text in a style, in points.
using MeasureText = std::function<double(int style, std::string_view text)>;

class LineBreaker;

// The lines of a paragraph in room points, each no wider unless a single character is. A line
// after the first starts without the blanks where it broke, and ends without its blanks. Lines
// break at blanks, and with a breaker also where the scripts' rules allow inside a word.
std::vector<VisualLine> LayOutParagraph(const std::vector<StyledText>& texts, bool right_to_left,
                                        double room, const MeasureText& measure,
                                        LineBreaker* breaker = nullptr);

}  // namespace vellumox
