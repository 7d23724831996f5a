// Text rules shared by line printing, the markup and the image references.
#pragma once

#include <string>
#include <string_view>

namespace vellumox {

enum class CompareMode { kExact, kText };  // kText: letters compared without regard to case

// Replaces every occurrence of find; the search goes on after each replacement, so replaced
// text is never searched again. An empty find changes nothing.
std::string ReplaceAll(std::string_view text, std::string_view find, std::string_view replacement,
                       CompareMode mode);

// True when markup is on and the line holds markup that the markup path must handle: a "<",
// later a ">", later "</", later a ">"; or "<img" followed by a ">"; or "<tab " followed by a
// ">" (the last two without regard to case).
bool HasMarkup(std::string_view line, bool use_text_formatting);

// Applies the paragraph and line-break marks ("<p>", "<br>") and the entities "&lt;" and
// "&gt;" to escaped text about to be shown; a mark becomes ")' (", which shows what precedes it
// and starts the next text line. A mark at the very end is dropped. Unchanged when markup is
// off.
std::string ExpandInlineMarks(std::string_view text, bool use_text_formatting);

// The 24 characters after which a long line may be cut: "/|*&^%$#,.: ;<=>[])}!?", the double
// quote and the tab.
bool IsWrapBreakCharacter(char c);

// True when text holds a backslash or a parenthesis.
bool NeedsEscaping(std::string_view text);

// Escapes text for a PDF literal string: backslash, then "(" and ")". Appends to out.
void AppendEscaped(std::string_view text, std::string& out);

}  // namespace vellumox
