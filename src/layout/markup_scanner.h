// How a line's markup is read: whether a line holds markup at all, the elements that layout
// draws, and the picture tags that the collection lists before the document starts. The two
// readings differ on purpose: the collection lists every picture that an "<img" names, also one
// that layout shows as text (inside another element), and such pictures are embedded all the
// same. Every search moves forward only, so a line of many tags is read in time proportional to
// its length.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vellumox {

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

// The text of a line that is drawn: without the tags of its markup when it holds markup (the
// markup path's reading: the text before each element and its content), else the whole line.
std::string DrawnText(std::string_view line, bool use_text_formatting);

// Whether a tag (the text between "<" and ">") is an image tag, a tab tag, or either of them
// (which have no content); the names are read without regard to case.
bool IsImageTag(std::string_view tag);
bool IsTabTag(std::string_view tag);
inline bool IsContentlessTag(std::string_view tag) {
  return IsImageTag(tag) || IsTabTag(tag);
}

// One element that layout draws: "<tag>content</...>" (the closing tag's name is not read), or
// an image or tab tag alone.
struct MarkupElement {
  size_t open = 0;           // where its "<" stands
  std::string_view tag;      // between "<" and ">"
  std::string_view content;  // empty for an image or tab tag
  size_t resume = 0;         // where the text after it starts (at most the line's length)
};

// A tag that the picture collection reads.
struct PictureTag {
  std::string_view tag;    // after "<" (or from where the scan stood) up to ">"
  bool named_img = false;  // it starts with "img"; others only list what they name
};

class MarkupScanner {
 public:
  explicit MarkupScanner(std::string_view line);

  // The first element at or after start whose tag ends with ">" and which, unless it is an
  // image or tab tag, has a "</" after it to end its content; a "<" that starts no such element
  // is text. nullopt when the rest is text.
  std::optional<MarkupElement> NextElement(size_t start);
  // Whether line[start...] holds markup.
  bool HasMarkupFrom(size_t start) { return markup_.From(start); }

  // The collection's reading: while the rest of the line holds markup, the next "<img" up to its
  // ">" (or, without one, the text from start up to the next ">"); start moves past it.
  std::optional<PictureTag> NextPictureTag(size_t& start);

 private:
  std::string_view line_;
  MarkupTest markup_;
  ForwardFinder open_, tag_end_, close_, resume_, img_, picture_end_;
};

}  // namespace vellumox
