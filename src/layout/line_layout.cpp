#include "layout/line_layout.h"

#include <algorithm>
#include <limits>

#include "layout/markup_scanner.h"
#include "layout/text_rules.h"
#include "writer/path_names.h"

namespace vellumox {

LineLayout::LineLayout(DocumentWriter& writer) : writer_(writer), markup_(writer, cursor_) {}

void LineLayout::StartDocument() {
  StartPage();
}

void LineLayout::StartPage() {
  writer_.StartPage();
  cursor_.NewPage(writer_.geometry());
}

void LineLayout::PageBreak() {
  writer_.EndPage();
  StartPage();
}

void LineLayout::PrintLine(std::string_view line) {
  const PageGeometry& g = writer_.geometry();
  if (EqualsIgnoreCase(line, "<pagebreak>")) {
    PageBreak();
    return;
  }
  // A line of form feeds alone separates pages, as in album lists: it breaks the page and
  // prints nothing, so the next page starts at its first line.
  if (line.find('\f') != std::string_view::npos &&
      line.find_first_not_of("\f ") == std::string_view::npos) {
    PageBreak();
    return;
  }
  // A form feed breaks the page once, before its line; the feed stays in the text.
  if (cursor_.Line() >= g.LinesPerPage || line.find('\f') != std::string_view::npos) {
    PageBreak();
  }
  size_t end = line.find_last_not_of(' ');
  line = line.substr(0, end == std::string_view::npos ? 0 : end + 1);

  constexpr size_t kGlyphFitAlone = std::numeric_limits<size_t>::max() / 4;
  const int32_t chars = wrap_width_.value_or(g.CharsPerLine);
  const size_t width = chars < kMinimumWidth ? kGlyphFitAlone : static_cast<size_t>(chars);
  const bool marks = g.UseTextFormating && MayHoldInlineMarks(line);
  // Text stays between the margins: a line is laid out whole only when it is within the wrap
  // width and its glyphs fit as well (a longer line is measured piece by piece).
  const Font& font = writer_.fonts().Document();
  const bool fits = line.size() <= width && font.Width(line) <= g.LineWidthLimit;
  // Most lines hold no markup and fit: the plain path, escaped straight into the output.
  if (!marks && fits && writer_.page().ShowOnNextLineWithin(line, width)) {
    cursor_.AdvanceLine();
    return;
  }
  const size_t encoded = font.EncodedLength(line);
  if ((fits && encoded <= width) || HasMarkup(line, g.UseTextFormating)) {
    LayoutLine(line);  // lines with markup are never wrapped
    return;
  }
  Wrap(line, width, encoded);
}

// The wrap width counts the string bytes of the text (an escaped character counts twice), so
// pieces are measured in them; a piece ends on a whole character, after the last break
// character in its second half, else where the width ends.
void LineLayout::Wrap(std::string_view rest, size_t width, size_t encoded) {
  const PageGeometry& g = writer_.geometry();
  const Font& font = writer_.fonts().Document();
  for (;;) {
    // A piece is at most the wrap width long and no wider than the room between the margins.
    const TextFit fit = font.Fit(rest, g.LineWidthLimit, width + 1);
    if (rest.empty() || (encoded <= width && fit.encoded == encoded)) break;
    const size_t piece = std::min(width, fit.encoded);
    // The whole characters within the piece: the fit, or all of it but its last character
    // when that one crosses the width.
    size_t whole = fit.characters, whole_encoded = fit.encoded;
    if (fit.encoded > piece) {
      whole -= 1;
      whole_encoded -= font.EncodedLength(rest.substr(whole, 1));
    }
    size_t cut = whole, cut_encoded = whole_encoded;
    size_t last_break = whole;
    while (last_break > 0 && !IsWrapBreakCharacter(rest[last_break - 1])) --last_break;
    if (last_break > 0) {
      const size_t at =
          whole_encoded - font.EncodedLength(rest.substr(last_break, whole - last_break));
      if (at >= piece / 2) {
        cut = last_break;
        cut_encoded = at;
      }
    }
    LayoutLine(rest.substr(0, cut));
    rest.remove_prefix(cut);
    encoded -= cut_encoded;
    if (cursor_.Line() >= g.LinesPerPage) PageBreak();
  }
  LayoutLine(rest);
}

void LineLayout::LayoutLine(std::string_view text) {
  if (HasMarkup(text, writer_.geometry().UseTextFormating)) {
    markup_.LayoutMarkupLine(text);
  } else {
    LayoutPlain(text);
  }
}

void LineLayout::LayoutPlain(std::string_view text) {
  cursor_.AdvanceLine();
  ShowMarkedText(writer_.page(), text, writer_.geometry().UseTextFormating, TextStart::kNextLine);
}

}  // namespace vellumox
