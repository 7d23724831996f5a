#include "layout/line_layout.h"

#include <algorithm>
#include <limits>

#include "layout/text_rules.h"
#include "writer/glyph_widths.h"
#include "writer/path_names.h"
#include "writer/pdf_string.h"

namespace vellumox {

namespace {

// The sum of the glyph widths of unescaped text.
int64_t TextWidth(std::string_view text, const GlyphWidthTable& widths) {
  int64_t sum = 0;
  for (unsigned char c : text) sum += widths[c];
  return sum;
}

// The escaped characters of the longest run of leading shown characters of escaped text whose
// widths add up to no more than limit (an escape is one shown character, the one it stands
// for), looking at no more than max_chars escaped characters; at least one shown character.
size_t FittingLength(std::string_view escaped, const GlyphWidthTable& widths, int64_t limit,
                     size_t max_chars) {
  int64_t sum = 0;
  size_t n = 0;
  while (n < escaped.size() && n < max_chars) {
    const size_t length = escaped[n] == '\\' && n + 1 < escaped.size() ? 2 : 1;
    sum += widths[static_cast<unsigned char>(escaped[n + length - 1])];
    if (sum > limit && n > 0) break;
    n += length;
    if (sum > limit) break;  // the first character, which goes alone
  }
  return n;
}

}  // namespace

LineLayout::LineLayout(DocumentWriter& writer) : writer_(writer), markup_(writer) {}

void LineLayout::PrintLine(std::string_view line) {
  const WriterState& st = writer_.state();
  if (EqualsIgnoreCase(line, "<pagebreak>")) {
    writer_.PageBreak();
    return;
  }
  // A line of form feeds alone separates pages, as in album lists: it breaks the page and
  // prints nothing, so the next page starts at its first line.
  if (line.find('\f') != std::string_view::npos &&
      line.find_first_not_of("\f ") == std::string_view::npos) {
    writer_.PageBreak();
    return;
  }
  // A form feed breaks the page once, before its line; the feed stays in the text.
  if (st.LineOnPage >= st.LinesPerPage || line.find('\f') != std::string_view::npos) {
    writer_.PageBreak();
  }
  size_t end = line.find_last_not_of(' ');
  line = line.substr(0, end == std::string_view::npos ? 0 : end + 1);

  constexpr size_t kGlyphFitAlone = std::numeric_limits<size_t>::max() / 4;
  const size_t width =
      st.CharsPerLine < kMinimumWidth ? kGlyphFitAlone : static_cast<size_t>(st.CharsPerLine);
  const bool marks = st.UseTextFormating && (line.find('<') != std::string_view::npos ||
                                             line.find('&') != std::string_view::npos);
  // Text stays between the margins: a line is laid out whole only when it is within the wrap
  // width and its glyphs fit as well (a longer line is measured piece by piece below).
  const GlyphWidthTable& glyphs = *st.GlyphWidths;
  const bool fits = line.size() <= width && TextWidth(line, glyphs) <= st.LineWidthLimit;
  // Most lines hold no markup and fit: the plain path, escaped straight into the output.
  if (!marks && fits && writer_.EmitEscapedLineWithin("(", line, ")'", width)) {
    writer_.AdvanceLine();
    return;
  }
  std::string_view rest(line);
  if (NeedsEscaping(line)) {
    escaped_.clear();
    AppendEscaped(line, escaped_);
    rest = escaped_;
  }
  if ((fits && rest.size() <= width) || HasMarkup(rest, st.UseTextFormating)) {
    LayoutLine(rest);  // lines with markup are never wrapped
    return;
  }
  for (;;) {
    // A piece is at most the wrap width long and no wider than the room between the margins.
    const size_t fitting = FittingLength(rest, glyphs, st.LineWidthLimit, width + 1);
    if (rest.empty() || (rest.size() <= width && fitting == rest.size())) break;
    const size_t piece = std::min(width, fitting);
    size_t length = piece;
    bool cut_at_break = false;
    for (size_t i = piece; i >= piece / 2 && i >= 1; --i) {
      if (IsWrapBreakCharacter(rest[i - 1])) {
        length = i;
        cut_at_break = true;
        break;
      }
    }
    if (!cut_at_break) {
      // A hard cut must not split an escape sequence: an odd run of backslashes at the end
      // means the last one escapes the character after the cut.
      size_t run = 0;
      while (run < length && rest[length - 1 - run] == '\\') ++run;
      if (run % 2 == 1) --length;
    }
    LayoutLine(rest.substr(0, length));
    rest.remove_prefix(length);
    if (st.LineOnPage >= st.LinesPerPage) writer_.PageBreak();
  }
  LayoutLine(rest);
}

void LineLayout::LayoutLine(std::string_view text) {
  if (HasMarkup(text, writer_.state().UseTextFormating)) {
    markup_.LayoutMarkupLine(text);
  } else {
    LayoutPlain(text);
  }
}

void LineLayout::LayoutPlain(std::string_view text) {
  const WriterState& st = writer_.state();
  writer_.AdvanceLine();
  if (st.UseTextFormating &&
      (text.find('<') != std::string_view::npos || text.find('&') != std::string_view::npos)) {
    writer_.EmitLine("(", ExpandInlineMarks(text, true), ")'");
  } else {
    writer_.EmitLine("(", text, ")'");
  }
}

}  // namespace vellumox
