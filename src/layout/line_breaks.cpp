#include "layout/line_breaks.h"

#include <unicode/brkiter.h>
#include <unicode/locid.h>
#include <unicode/utext.h>

#include "writer/code_page.h"

namespace vellumox {

namespace {

bool IsHangul(char32_t c) {
  return (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0x1100 && c <= 0x11FF) ||
         (c >= 0x3130 && c <= 0x318F) || (c >= 0xA960 && c <= 0xA97F) ||
         (c >= 0xD7B0 && c <= 0xD7FF);
}

// The character that ends just before offset, and the one that starts at it.
char32_t CharacterBefore(std::string_view utf8, size_t offset) {
  size_t start = offset;
  while (start > 0 && (static_cast<unsigned char>(utf8[start - 1]) & 0xC0) == 0x80) --start;
  if (start > 0) --start;
  return NextCodePoint(utf8, start);
}

}  // namespace

struct LineBreaker::Iterator {
  std::unique_ptr<icu::BreakIterator> lines;
};

LineBreaker::LineBreaker() = default;
LineBreaker::~LineBreaker() = default;

std::vector<size_t> LineBreaker::Opportunities(std::string_view utf8) {
  std::vector<size_t> breaks;
  if (utf8.empty()) return breaks;
  if (!iterator_) {
    iterator_ = std::make_unique<Iterator>();
    UErrorCode status = U_ZERO_ERROR;
    iterator_->lines.reset(icu::BreakIterator::createLineInstance(icu::Locale::getRoot(), status));
    if (U_FAILURE(status)) iterator_->lines.reset();
  }
  if (!iterator_->lines) return breaks;
  UErrorCode status = U_ZERO_ERROR;
  UText* text = utext_openUTF8(nullptr, utf8.data(), static_cast<int64_t>(utf8.size()), &status);
  if (U_FAILURE(status)) return breaks;
  icu::BreakIterator& lines = *iterator_->lines;
  lines.setText(text, status);
  if (U_SUCCESS(status)) {
    for (int32_t at = lines.next(); at != icu::BreakIterator::DONE; at = lines.next()) {
      const auto offset = static_cast<size_t>(at);
      if (offset == 0 || offset >= utf8.size()) continue;
      size_t next = offset;
      if (IsHangul(CharacterBefore(utf8, offset)) && IsHangul(NextCodePoint(utf8, next))) continue;
      breaks.push_back(offset);
    }
  }
  // The iterator must not keep the text, which goes when this returns.
  lines.setText(icu::UnicodeString());
  utext_close(text);
  return breaks;
}

}  // namespace vellumox
