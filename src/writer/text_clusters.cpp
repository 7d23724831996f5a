#include "writer/text_clusters.h"

#include <hb.h>

#include "writer/code_page.h"

namespace vellumox {

bool IsCombiningMark(char32_t c) {
  if (c < 0x300) return false;  // where the first combining marks stand
  const hb_unicode_general_category_t category =
      hb_unicode_general_category(hb_unicode_funcs_get_default(), c);
  return category == HB_UNICODE_GENERAL_CATEGORY_NON_SPACING_MARK ||
         category == HB_UNICODE_GENERAL_CATEGORY_SPACING_MARK ||
         category == HB_UNICODE_GENERAL_CATEGORY_ENCLOSING_MARK;
}

size_t ClusterEnd(std::string_view utf8, size_t start) {
  size_t end = start;
  NextCodePoint(utf8, end);
  int marks = 0;
  for (size_t next = end; next < utf8.size() && marks < kMaxCombiningMarks; ++marks) {
    if (!IsCombiningMark(NextCodePoint(utf8, next))) break;
    end = next;
  }
  return end;
}

size_t NextForcedClusterStart(std::string_view utf8, size_t from) {
  // A mark is at least two bytes: a text shorter than a full unit has no forced start.
  if (utf8.size() - from <= 2 * kMaxCombiningMarks) return std::string_view::npos;
  int marks = 0;  // marks in a row so far, after the unit's first character
  for (size_t at = from; at < utf8.size();) {
    const size_t here = at;
    const char32_t c = NextCodePoint(utf8, at);
    if (!IsCombiningMark(c)) {
      marks = 0;
    } else if (here == from) {
      marks = 0;  // a unit may start with a mark; it is the unit's first character
    } else if (++marks > kMaxCombiningMarks) {
      return here;
    }
  }
  return std::string_view::npos;
}

}  // namespace vellumox
