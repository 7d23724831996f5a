// Where a character of UTF-8 text ends together with the combining marks after it: the unit
// that a line is never cut inside and a face shows whole. Unicode's Stream-Safe Text Format
// bounds it: after kMaxCombiningMarks marks a new unit starts, so no unit holds more than
// kMaxCombiningMarks + 1 characters, however many marks a hostile text piles on one letter
// (shaping such a pile costs time that grows with the square of its length).
#pragma once

#include <cstddef>
#include <string_view>

namespace vellumox {

inline constexpr int kMaxCombiningMarks = 30;

// Whether a character is a combining mark (non-spacing, spacing or enclosing), which goes with
// the character before it.
bool IsCombiningMark(char32_t character);
// Where the unit that starts at start ends.
size_t ClusterEnd(std::string_view utf8, size_t start);
// Where the first unit of utf8 that the Stream-Safe limit starts (a mark that no longer joins
// the character before it) begins, at or after from; npos when there is none.
size_t NextForcedClusterStart(std::string_view utf8, size_t from = 0);

}  // namespace vellumox
