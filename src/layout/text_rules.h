// Text rules shared by line printing, the markup and the image references.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vellumox {

enum class CompareMode { kExact, kText };  // kText: letters compared without regard to case

// Replaces every occurrence of find; the search goes on after each replacement, so replaced
// text is never searched again. An empty find changes nothing.
std::string ReplaceAll(std::string_view text, std::string_view find, std::string_view replacement,
                       CompareMode mode);

// The pieces that a text about to be shown falls into at its paragraph and line-break marks
// ("<p>", "<br>", in any letter case), with the entities "&lt;" and "&gt;" turned into their
// characters. Each piece but the last is shown on a text line of its own that starts before the
// next piece; a mark at the very end is dropped. The whole text when markup is off.
std::vector<std::string> InlineMarkPieces(std::string_view text, bool use_text_formatting);

// What line printing asks of every line first: whether it holds a form feed, whether it may
// hold markup, inline marks or entities ("<", "&"), and whether it holds a tab or a soft
// hyphen, which are laid out rather than drawn.
struct LineSurvey {
  bool form_feed = false;
  bool marks = false;
  bool spacing = false;
};
// One pass over the line, sixteen bytes at a time where the processor allows, for what three
// searches found at the cost of a call each; most lines hold none of these bytes.
LineSurvey SurveyLine(std::string_view line);

// Whether a text may hold inline marks or entities.
inline bool MayHoldInlineMarks(std::string_view text) {
  return text.find('<') != std::string_view::npos || text.find('&') != std::string_view::npos;
}

// The 24 characters after which a long line may be cut: "/|*&^%$#,.: ;<=>[])}!?", the double
// quote and the tab.
bool IsWrapBreakCharacter(char c);

}  // namespace vellumox
