// The order in which the characters of a line are shown, by the Unicode bidirectional
// algorithm: a Hebrew or Arabic line reads right to left, a number or a Latin word within it
// left to right. Layout decides where lines wrap in the order the text was typed, then puts
// each piece in display order with the direction of its whole line.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vellumox {

// A stretch of a UTF-8 text (bytes begin to end, in typed order) that is shown in one
// direction.
struct DirectionRun {
  size_t begin = 0;
  size_t end = 0;
  bool right_to_left = false;
};

// Whether a paragraph is written right to left: its first strong character is (Hebrew, Arabic,
// ...); a text without one is left to right.
bool StartsRightToLeft(std::string_view utf8);

// The runs of text in the order they stand from left to right, in a paragraph of the given
// direction. A text with no right-to-left character in a left-to-right paragraph is one run,
// at once.
std::vector<DirectionRun> DisplayOrder(std::string_view utf8, bool paragraph_right_to_left);

// Windows-1252 text shown right to left by a font that draws bytes in order: the characters
// reversed, each bracket replaced by its mirror image.
std::string ReversedForDisplay(std::string_view text);

}  // namespace vellumox
