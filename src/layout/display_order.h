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

// Whether a text holds a character that the bidirectional algorithm sets right to left or at a
// number's level of its own (Hebrew, Arabic, Arabic-Indic digits...).
bool HoldsRightToLeft(std::string_view utf8);

// The runs of text in the order they stand from left to right, in a paragraph of the given
// direction. A text with no right-to-left character in a left-to-right paragraph is one run,
// at once.
std::vector<DirectionRun> DisplayOrder(std::string_view utf8, bool paragraph_right_to_left);

// The bidirectional level of each byte of a paragraph (every byte of a character at the
// character's level), as the algorithm resolves them before lines are made; even is left to
// right.
std::vector<unsigned char> ParagraphLevels(std::string_view utf8, bool paragraph_right_to_left);

// The order of runs of levels as a line shows them: from the highest level down to the lowest
// odd one, every sequence of runs at that level or above is reversed. levels[k] is run k's.
std::vector<size_t> ReorderedRuns(const std::vector<unsigned char>& levels);

// Windows-1252 text shown right to left by a font that draws bytes in order: the characters
// reversed, each bracket replaced by its mirror image.
std::string ReversedForDisplay(std::string_view text);

}  // namespace vellumox
