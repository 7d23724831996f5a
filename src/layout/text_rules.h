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

// Finds a needle at or after a position. A line with many tags asks for the same needles again
// and again at positions that only grow; remembering the last answer keeps the whole line's
// work proportional to its length (a smaller position is simply searched again).
class ForwardFinder {
 public:
  ForwardFinder(std::string_view text, std::string_view needle, bool ignore_case)
      : text_(text), needle_(needle), ignore_case_(ignore_case) {}
  size_t Find(size_t from);

 private:
  std::string_view text_;
  std::string_view needle_;
  bool ignore_case_;
  bool known_ = false;
  size_t from_ = 0;
  size_t result_ = std::string_view::npos;
};

// HasMarkup for the suffixes of one line, asked at growing positions.
class MarkupTest {
 public:
  MarkupTest(std::string_view line, bool use_text_formatting);
  // Whether line[start...] holds markup.
  bool From(size_t start);

 private:
  bool on_;
  ForwardFinder lt_, gt1_, close_, gt2_, img_, gt_img_, tab_, gt_tab_;
};

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

}  // namespace vellumox
