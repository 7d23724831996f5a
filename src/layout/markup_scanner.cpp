#include "layout/markup_scanner.h"

#include <algorithm>

#include "writer/path_names.h"

namespace vellumox {

namespace {

constexpr size_t npos = std::string_view::npos;

bool StartsWithIgnoreCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualsIgnoreCase(text.substr(0, prefix.size()), prefix);
}

}  // namespace

size_t ForwardFinder::Find(size_t from) {
  if (known_ && from >= from_ && (result_ == npos || from <= result_)) return result_;
  from_ = from;
  known_ = true;
  if (from > text_.size()) {
    result_ = npos;
  } else if (ignore_case_) {
    result_ = FindIgnoreCase(text_, needle_, from);
  } else {
    result_ = text_.find(needle_, from);
  }
  return result_;
}

MarkupTest::MarkupTest(std::string_view line, bool use_text_formatting)
    : on_(use_text_formatting),
      lt_(line, "<", false),
      gt1_(line, ">", false),
      close_(line, "</", false),
      gt2_(line, ">", false),
      img_(line, "<img", true),
      gt_img_(line, ">", false),
      tab_(line, "<tab ", true),
      gt_tab_(line, ">", false) {}

bool MarkupTest::From(size_t start) {
  if (!on_) return false;
  // A: "<" ... ">" ... "</" ... ">"
  size_t lt = lt_.Find(start);
  if (lt == npos) return false;
  size_t gt = gt1_.Find(lt + 1);
  if (gt == npos) return false;  // no ">" after any "<": B and C fail too
  size_t close = close_.Find(gt + 1);
  if (close != npos && gt2_.Find(close + 2) != npos) return true;
  // B: "<img" ... ">"
  size_t img = img_.Find(start);
  if (img != npos && gt_img_.Find(img + 4) != npos) return true;
  // C: "<tab " ... ">"
  size_t tab = tab_.Find(start);
  return tab != npos && gt_tab_.Find(tab + 5) != npos;
}

bool HasMarkup(std::string_view line, bool use_text_formatting) {
  // Most lines hold no "<" at all.
  if (!use_text_formatting || line.find('<') == npos) return false;
  return MarkupTest(line, true).From(0);
}

bool IsImageTag(std::string_view tag) {
  return StartsWithIgnoreCase(tag, "img");
}

bool IsTabTag(std::string_view tag) {
  return StartsWithIgnoreCase(tag, "tab");
}

MarkupScanner::MarkupScanner(std::string_view line)
    : line_(line),
      markup_(line, true),
      open_(line, "<", false),
      tag_end_(line, ">", false),
      close_(line, "</", false),
      resume_(line, ">", false),
      img_(line, "<img", true),
      picture_end_(line, ">", false) {}

std::optional<MarkupElement> MarkupScanner::NextElement(size_t start) {
  for (size_t open = start;;) {
    open = open_.Find(open);
    if (open == npos) return std::nullopt;
    const size_t tag_end = tag_end_.Find(open);
    if (tag_end == npos) return std::nullopt;
    const size_t after_tag = tag_end + 1;
    std::string_view tag = line_.substr(open + 1, tag_end - open - 1);
    if (IsContentlessTag(tag)) return MarkupElement{open, tag, {}, after_tag};
    const size_t content_end = close_.Find(after_tag);
    if (content_end != npos) {
      const size_t close_end = resume_.Find(content_end);
      const size_t resume = close_end == npos ? line_.size() : close_end + 1;
      return MarkupElement{open, tag, line_.substr(after_tag, content_end - after_tag),
                           std::min(resume, line_.size())};
    }
    open += 1;
  }
}

std::optional<PictureTag> MarkupScanner::NextPictureTag(size_t& start) {
  if (!markup_.From(start)) return std::nullopt;
  const size_t img = img_.Find(start);
  const size_t p = img == npos ? start : img + 1;
  const size_t q = picture_end_.Find(p);
  if (q == npos) return std::nullopt;
  start = q + 1;
  return PictureTag{line_.substr(p, q - p), img != npos};
}

std::string DrawnText(std::string_view line, bool use_text_formatting) {
  if (!HasMarkup(line, use_text_formatting)) return std::string(line);
  // The markup path's reading: the text before each element and its content are drawn, the
  // tags are not; after the last element the rest is text.
  std::string drawn;
  MarkupScanner scanner(line);
  size_t start = 0;
  while (std::optional<MarkupElement> element = scanner.NextElement(start)) {
    drawn.append(line.substr(start, element->open - start));
    drawn.append(element->content);
    start = element->resume;
    if (start >= line.size() || !scanner.HasMarkupFrom(start)) break;
  }
  if (start < line.size()) drawn.append(line.substr(start));
  return drawn;
}

}  // namespace vellumox
