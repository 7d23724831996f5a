#include "layout/markup_interpreter.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <limits>

#include "layout/bidi_paragraph.h"
#include "layout/display_order.h"
#include "layout/fallback_fonts.h"
#include "layout/line_breaks.h"
#include "layout/markup_rules.h"
#include "layout/markup_scanner.h"
#include "layout/text_rules.h"
#include "writer/code_page.h"
#include "writer/color_table.h"
#include "writer/font_table.h"
#include "writer/number_text.h"
#include "writer/path_names.h"

namespace vellumox {

namespace {

// Widths are sums of thousandths of the size: a text that ends this close to the margin ends
// on it.
constexpr double kWidthSlack = 1e-6;

}  // namespace

void WarnOutOfBounds(DocumentWriter& writer, std::string_view tag) {
  std::string shown = Windows1252ToUtf8(tag);
  if (shown.size() > 60) {
    size_t cut = 60;
    while (cut > 0 && (static_cast<unsigned char>(shown[cut]) & 0xC0) == 0x80) --cut;
    shown = shown.substr(0, cut) + "...";
  }
  writer.WarnOnce("bounds", "the tag <" + shown +
                                "> asks for a size or position beyond what a page can hold; it "
                                "is kept within bounds");
}

int32_t Bounded(double value, int32_t low, int32_t high, bool* bounded) {
  if (!(value >= low)) {  // NaN included
    *bounded = true;
    return low;
  }
  if (value > high) {
    *bounded = true;
    return high;
  }
  return RoundToInt32(value).value_or(low);
}

namespace {

// The runs of a piece that starts a text line, from runs[first] on: each tab (in the standard
// font's runs) becomes the way to its stop, every eight blanks of the font from the line's
// start. The texts are cut where the tabs stand; the parts are kept in store.
void MoveToTabStops(const PageContent& page, std::vector<TextRun>& runs, size_t first,
                    std::deque<FontRuns>& store) {
  const Font& standard = page.CurrentFont();
  const int64_t stop = std::max<int64_t>(1, 8 * standard.Width(" "));
  std::vector<TextRun> spaced(runs.begin(), runs.begin() + static_cast<std::ptrdiff_t>(first));
  int64_t pen = 0;  // thousandths of the size from the line's start
  for (size_t r = first; r < runs.size(); ++r) {
    const TextRun& run = runs[r];
    const Font& font = run.font ? *run.font : standard;
    if (run.font || run.text.find('\t') == std::string_view::npos) {
      spaced.push_back(run);
      pen += font.Width(run.text);
      continue;
    }
    store.emplace_back();
    std::vector<std::string>& parts = store.back().texts;
    for (size_t at = 0;;) {
      const size_t tab = std::min(run.text.find('\t', at), run.text.size());
      parts.emplace_back(run.text.substr(at, tab - at));
      if (tab == run.text.size()) break;
      at = tab + 1;
    }
    for (size_t k = 0; k < parts.size(); ++k) {
      TextRun part = run;
      part.text = parts[k];
      if (k > 0) {
        part.start = TextStart::kHere;
        part.gap = stop - pen % stop;
        pen += part.gap;
      }
      pen += standard.Width(part.text);
      spaced.push_back(part);
    }
  }
  // A tab at the end draws nothing: no way to its stop.
  while (spaced.size() > first + 1 && spaced.back().text.empty() && spaced.back().gap != 0) {
    spaced.pop_back();
  }
  runs = std::move(spaced);
}

}  // namespace

void AppendDirectionRun(std::string_view text, bool right_to_left, const Font& standard,
                        FallbackFonts& fallback, std::vector<TextRun>& runs,
                        std::deque<FontRuns>& store) {
  store.push_back(SplitIntoFontRuns(text, standard, fallback));
  FontRuns& font_runs = store.back();
  const size_t count = font_runs.texts.size();
  for (size_t i = 0; i < count; ++i) {
    const size_t r = right_to_left ? count - 1 - i : i;
    TextDirection direction = TextDirection::kNatural;
    if (right_to_left) {
      if (font_runs.fonts[r]) {
        direction = TextDirection::kRightToLeft;
      } else {
        font_runs.texts[r] = ReversedForDisplay(font_runs.texts[r]);
      }
    }
    runs.push_back({font_runs.texts[r], TextStart::kHere, font_runs.fonts[r], direction});
  }
}

void ShowMarkedText(PageContent& page, std::string_view text, bool use_text_formatting,
                    TextStart last, FallbackFonts* unicode) {
  if (!unicode && (!use_text_formatting || !MayHoldInlineMarks(text))) {
    page.ShowText({TextRun{text, last}});
    return;
  }
  // Without inline marks the text is its one piece, a view into what the caller holds (whose
  // runs the fallback fonts may know already).
  std::vector<std::string> marked;
  std::vector<std::string_view> pieces{text};
  if (use_text_formatting && MayHoldInlineMarks(text)) {
    marked = InlineMarkPieces(text, use_text_formatting);
    pieces.assign(marked.begin(), marked.end());
  }
  std::vector<TextRun> runs;
  std::deque<FontRuns> split;  // the texts of UTF-8 pieces, kept (in place) while runs are shown
  for (size_t k = 0; k < pieces.size(); ++k) {
    const TextStart start = k + 1 < pieces.size() ? TextStart::kNextLine : last;
    if (!unicode) {
      runs.push_back({pieces[k], start});
      continue;
    }
    // A piece in several fonts and maybe both directions: its stretches of one direction from
    // left to right, each split into font runs. Right to left, the font runs go in reverse, a
    // standard font's text reversed and an embedded face's shaped right to left. The first run
    // starts where the piece does, the rest follow it.
    const std::string_view piece = pieces[k];
    const size_t first = runs.size();
    for (const DirectionRun& stretch : DisplayOrder(piece, unicode->ParagraphRightToLeft())) {
      AppendDirectionRun(piece.substr(stretch.begin, stretch.end - stretch.begin),
                         stretch.right_to_left, page.CurrentFont(), *unicode, runs, split);
    }
    if (runs.size() == first) runs.push_back({"", start});
    runs[first].start = start;
    if (piece.find('\t') != std::string_view::npos) MoveToTabStops(page, runs, first, split);
  }
  page.ShowText(runs);
}

void MarkupInterpreter::ShowHere(std::string_view text) {
  // A soft hyphen is drawn only where a line breaks at it, which a markup line never does at
  // one; a tab moves on to its stop.
  const std::string_view soft_hyphen = unicode_ ? "\xC2\xAD" : "\xAD";
  if (text.find(soft_hyphen) != std::string_view::npos) {
    const std::string without = ReplaceAll(text, soft_hyphen, "", CompareMode::kExact);
    ShowHere(without);
    return;
  }
  if (const size_t tab = text.find('\t'); tab != std::string_view::npos) {
    if (tab > 0) ShowHere(text.substr(0, tab));
    MoveToTabStop();
    if (tab + 1 < text.size()) ShowHere(text.substr(tab + 1));
    return;
  }
  ShowText(text);
}

void MarkupInterpreter::MoveToTabStop() {
  // Stops every eight blanks of the font in force, from where the line starts.
  const double stop = std::max(8 * TextWidth(" "), 1e-3);
  const double pen = x_ - cursor_.LineStart();
  double gap = (std::floor(pen / stop + kWidthSlack) + 1) * stop - pen;
  TextStart start = TextStart::kHere;
  if (x_ + gap > RightEdge() + kWidthSlack && x_ > cursor_.LineStart()) {
    // No stop left on this line: the first of the next.
    ContinueOnNextLine();
    start = TextStart::kNextLine;
    gap = stop;
  }
  TextRun run{"", start};
  run.gap = static_cast<int64_t>(std::llround(gap * 1000.0 / size_));
  writer_.page().ShowText({run});
  x_ += gap;
}

void MarkupInterpreter::ShowText(std::string_view text) {
  const PageGeometry& g = writer_.geometry();
  std::vector<std::string> pieces;
  if (g.UseTextFormating && MayHoldInlineMarks(text)) {
    pieces = InlineMarkPieces(text, true);
  } else {
    pieces.emplace_back(text);
  }
  // Where each piece ends (all but the last start a text line of their own): when all of them
  // end within the margin, the text is shown as it stands.
  const double start = cursor_.LineStart();
  double x = x_;
  bool fits = true;
  for (size_t k = 0; k < pieces.size(); ++k) {
    if (k + 1 < pieces.size()) x = start;
    const std::string_view piece = pieces[k];
    const size_t shown = piece.find_last_not_of(' ') + 1;  // npos + 1: nothing but blanks
    const double ink = TextWidth(piece.substr(0, shown));
    if (x + ink > RightEdge() + kWidthSlack) fits = false;
    x += ink + TextWidth(piece.substr(shown));
  }
  if (fits || start >= RightEdge()) {
    ShowMarkedText(writer_.page(), text, g.UseTextFormating, TextStart::kHere, unicode_);
    x_ = x;
    return;
  }
  ShowWrapped(pieces);
}

void MarkupInterpreter::ShowWrapped(const std::vector<std::string>& pieces) {
  for (size_t k = 0; k < pieces.size(); ++k) {
    TextStart start = k + 1 < pieces.size() ? TextStart::kNextLine : TextStart::kHere;
    if (start == TextStart::kNextLine) x_ = cursor_.LineStart();
    std::string_view rest = pieces[k];
    if (rest.empty()) ShowMarkedText(writer_.page(), rest, false, start, unicode_);
    while (!rest.empty()) {
      const bool at_line_start = start == TextStart::kNextLine || x_ <= cursor_.LineStart();
      const size_t take = FittingPrefix(rest, RightEdge() - x_, at_line_start);
      if (take > 0) {
        const std::string_view shown = rest.substr(0, take);
        ShowMarkedText(writer_.page(), shown, false, start, unicode_);
        x_ += TextWidth(shown);
        rest.remove_prefix(take);
      }
      if (rest.empty()) break;
      ContinueOnNextLine();
      start = TextStart::kNextLine;
    }
  }
}

size_t MarkupInterpreter::FittingPrefix(std::string_view text, double room, bool at_line_start) {
  if (!unicode_) return FittingBytes(text, room, at_line_start);
  // Word by word from the start, so that a long text is measured once over all its lines. A
  // word ends at a blank, or where the scripts' rules let a line break inside it (a Thai word,
  // an ideograph).
  const std::vector<size_t> breaks =
      breaker_ ? breaker_->Opportunities(text) : std::vector<size_t>();
  size_t next_break = 0;
  double width = 0;
  size_t at = 0;
  for (;;) {
    const size_t word = text.find_first_not_of(' ', at);
    if (word == std::string_view::npos) return text.size();  // blanks at the end always fit
    while (next_break < breaks.size() && breaks[next_break] <= word) ++next_break;
    const size_t end = std::min({text.find(' ', word), text.size(),
                                 next_break < breaks.size() ? breaks[next_break] : text.size()});
    double next = width + TextWidth(text.substr(at, word - at));
    if (WiderThan(text.substr(word, end - word), room - next, next)) {
      // The blanks before this word stay on this line; without any, the line breaks before the
      // text, or at a line's start the word itself is cut.
      if (word > 0) return word;
      break;
    }
    width = next;
    at = end;
    if (at == text.size()) return at;
  }
  if (!at_line_start) return 0;
  size_t taken = 0;
  width = 0;
  for (size_t next = 0; next < text.size();) {
    // One character, with the marks after it in UTF-8 text.
    const size_t from = next;
    next = unicode_ ? ClusterEnd(text, next) : next + 1;
    width += TextWidth(text.substr(from, next - from));
    if (width > room + kWidthSlack && taken > 0) break;
    taken = next;
  }
  return taken;
}

size_t MarkupInterpreter::FittingBytes(std::string_view text, double room, bool at_line_start) {
  // One walk over the bytes' advances finds the first that crosses the room; the word it falls
  // in (or the first after the blanks it falls in) is the one that does not fit. Measuring word
  // by word cost a call and two searches per word.
  const auto most = static_cast<int64_t>(std::floor((room + kWidthSlack) * 1000.0 / size_));
  size_t fitting = font_->Fit(text, most, std::numeric_limits<size_t>::max()).characters;
  // Fit takes the first character even when it does not fit; here it does not fit either, a
  // text of one character included.
  if (fitting == 1 && font_->Width(text.substr(0, 1)) > most) fitting = 0;
  if (fitting == text.size()) return fitting;
  size_t word = 0;
  if (text[fitting] == ' ') {
    word = text.find_first_not_of(' ', fitting);
    if (word == std::string_view::npos) return text.size();  // blanks at the end always fit
  } else {
    const size_t blank = text.rfind(' ', fitting);
    word = blank == std::string_view::npos ? 0 : blank + 1;
  }
  if (word > 0) return word;
  return at_line_start ? std::max<size_t>(fitting, 1) : 0;
}

bool MarkupInterpreter::WiderThan(std::string_view text, double room, double& width) {
  // In pieces, so that a word of a million characters is measured only as far as the room.
  constexpr size_t kPiece = 256;
  double sum = 0;
  for (size_t at = 0; at < text.size();) {
    size_t end = std::min(text.size(), at + kPiece);
    while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
    sum += TextWidth(text.substr(at, end - at));
    if (sum > room + kWidthSlack) return true;
    at = end;
  }
  width += sum;
  return false;
}

double MarkupInterpreter::TextWidth(std::string_view text) {
  if (text.empty()) return 0;
  int64_t sum = 0;
  if (!unicode_) {
    sum = font_->Width(text);
  } else {
    const FontRuns runs = SplitIntoFontRuns(text, *font_, *unicode_);
    for (size_t r = 0; r < runs.texts.size(); ++r) {
      sum += (runs.fonts[r] ? runs.fonts[r] : font_)->Width(runs.texts[r]);
    }
  }
  return static_cast<double>(sum) * size_ / 1000.0;
}

void MarkupInterpreter::ContinueOnNextLine() {
  const PageGeometry& g = writer_.geometry();
  cursor_.AdvanceLine();
  // The page is full when the next text line would stand below the bottom margin. (The line
  // count that breaks pages between input lines counts every element of this line already.)
  const double next_line = cursor_.Vertical() + g.Leading.ToDouble();
  if (next_line > static_cast<double>(g.PageHeight) - g.TopMarginPt && page_break_) {
    page_break_();
    // A new page starts in the document's font, size and colour.
    PageContent& page = writer_.page();
    if (colour_ != g.ForeColor) page.SetFillColour(colour_);
    if (font_ != &writer_.fonts().Document() || size_ != g.FontSize.ToDouble()) {
      page.SelectFont(*font_, size_);
    }
  }
  x_ = cursor_.LineStart();
}

double MarkupInterpreter::RightEdge() const {
  const PageGeometry& g = writer_.geometry();
  return static_cast<double>(g.PageWidth) - g.LeftMarginPt;
}

const Font& MarkupInterpreter::FontAt(int position) const {
  const StandardFonts& fonts = writer_.fonts();
  return position == 0 ? fonts.Document() : fonts.TableFont(position);
}

double MarkupInterpreter::WidthIn(const Font& font, double size, std::string_view text) const {
  int64_t sum = 0;
  const FontRuns runs = SplitIntoFontRuns(text, font, *unicode_);
  for (size_t r = 0; r < runs.texts.size(); ++r) {
    sum += (runs.fonts[r] ? runs.fonts[r] : &font)->Width(runs.texts[r]);
  }
  return static_cast<double>(sum) * size / 1000.0;
}

void MarkupInterpreter::LayoutBidiMarkupLine(std::string_view line) {
  const PageGeometry& g = writer_.geometry();
  PageContent& page = writer_.page();
  struct Look {
    const Font* font;
    double size;
    std::string colour;
  };
  std::vector<Look> looks{{&writer_.fonts().Document(), g.FontSize.ToDouble(), g.ForeColor}};
  std::vector<StyledText> texts;
  // A text in a look: its inline marks start new lines; a soft hyphen never shows (a markup
  // line breaks at blanks alone) and a tab is a blank.
  auto add = [&](std::string_view text, int look) {
    std::string plain = ReplaceAll(text, "\xC2\xAD", "", CompareMode::kExact);
    std::replace(plain.begin(), plain.end(), '\t', ' ');
    const std::vector<std::string> pieces = InlineMarkPieces(plain, true);
    for (size_t k = 0; k < pieces.size(); ++k) texts.push_back({pieces[k], look, k > 0});
  };
  bool moved = false;  // the line's first text line has been begun
  // Lays out what has been gathered: the paragraph's lines in display order, the first where
  // the pen stands (on a new text line unless the line has begun), the rest on the text lines
  // after it; a right-to-left paragraph's lines aligned at the right margin.
  auto flush = [&] {
    if (texts.empty()) return;
    const bool rtl = unicode_->ParagraphRightToLeft();
    const double room = RightEdge() - cursor_.LineStart();
    const std::vector<VisualLine> lines = LayOutParagraph(
        texts, rtl, room,
        [&](int look, std::string_view text) {
          return WidthIn(*looks[static_cast<size_t>(look)].font,
                         looks[static_cast<size_t>(look)].size, text);
        },
        breaker_);
    texts.clear();
    for (size_t k = 0; k < lines.size(); ++k) {
      const bool new_line = k > 0 || !moved;
      if (k > 0) ContinueOnNextLine();
      if (new_line) page.ShowOnNextLine("");
      moved = true;
      // Aligned at the right only where the line starts afresh (a text after a tab or picture
      // tag on the same text line goes on from the pen).
      const double start = new_line ? cursor_.LineStart() : x_;
      const double shift = rtl && new_line ? RightEdge() - start - lines[k].width : 0;
      if (shift > kWidthSlack) page.ShiftLine(shift);
      std::vector<TextRun> runs;
      std::deque<FontRuns> store;
      const Look* in_force = &looks[0];
      for (const VisualRun& run : lines[k].runs) {
        const Look& look = looks[static_cast<size_t>(run.style)];
        if (look.font != in_force->font || look.size != in_force->size ||
            look.colour != in_force->colour) {
          if (!runs.empty()) page.ShowText(runs);
          runs.clear();
          if (look.colour != in_force->colour) page.SetFillColour(look.colour);
          page.SelectFont(*look.font, look.size);
          in_force = &look;
        }
        AppendDirectionRun(run.text, run.right_to_left, *look.font, *unicode_, runs, store);
      }
      if (!runs.empty()) page.ShowText(runs);
      if (in_force != &looks[0]) {
        if (in_force->colour != looks[0].colour) page.SetFillColour(looks[0].colour);
        page.SelectFont(writer_.fonts().Document(), g.FontSize);
      }
      if (shift > kWidthSlack) page.ShiftLine(-shift);
      x_ = start + (shift > kWidthSlack ? shift : 0) + lines[k].width;
    }
  };

  MarkupScanner scanner(line);
  size_t start = 0;
  for (;;) {
    std::optional<MarkupElement> element = scanner.NextElement(start);
    if (!element) {
      add(line.substr(start), 0);
      break;
    }
    std::string tag_bytes;
    Utf8ToWindows1252(element->tag, tag_bytes);
    const std::string_view tag = tag_bytes;
    // A tab or picture tag does its work on the page before the text before it is shown, as on
    // any markup line: what came before it is laid out first.
    if (IsContentlessTag(tag)) flush();
    ElementStyle style = ApplyTag(tag);
    cursor_.AddLines(RoundHalfEven(static_cast<double>(style.SizeScale) / 1.2));
    add(line.substr(start, element->open - start), 0);
    start = element->resume;
    double size = g.FontSize.ToDouble() * static_cast<double>(style.SizeScale);
    const double most = std::max(static_cast<double>(g.PageHeight), g.FontSize.ToDouble());
    if (size > most) {
      size = most;
      WarnOutOfBounds(writer_, tag);
    }
    if (!element->content.empty()) {
      looks.push_back({&FontAt(style.FontPosition), size, style.color});
      add(element->content, static_cast<int>(looks.size() - 1));
    }
    if (start >= line.size() || !scanner.HasMarkupFrom(start)) {
      if (start < line.size()) add(line.substr(start), 0);
      break;
    }
  }
  flush();
  if (!moved) page.ShowOnNextLine("");
}

void MarkupInterpreter::LayoutMarkupLine(std::string_view line, FallbackFonts* unicode) {
  unicode_ = unicode;
  const PageGeometry& g = writer_.geometry();
  // A line with right-to-left text is laid out as a whole: its order decided across its
  // elements, its lines aligned at the right in a right-to-left paragraph.
  if (unicode_ && (unicode_->ParagraphRightToLeft() || HoldsRightToLeft(DrawnText(line, true)))) {
    font_ = &writer_.fonts().Document();
    size_ = g.FontSize.ToDouble();
    colour_ = g.ForeColor;
    x_ = cursor_.LineStart();
    LayoutBidiMarkupLine(line);
    cursor_.AdvanceVertical();
    unicode_ = nullptr;
    return;
  }
  PageContent& page = writer_.page();
  font_ = &writer_.fonts().Document();
  size_ = g.FontSize.ToDouble();
  colour_ = g.ForeColor;
  x_ = cursor_.LineStart();
  size_t trimmed = line.find_last_not_of(' ');
  line = line.substr(0, trimmed == std::string_view::npos ? 0 : trimmed + 1);

  MarkupScanner scanner(line);
  bool continued = false;
  size_t start = 0;  // the remaining line is line[start, end)
  for (;;) {
    std::optional<MarkupElement> element = scanner.NextElement(start);
    if (!element) {
      // Nothing left that is markup: the rest is text on the current text line.
      if (!continued) page.ShowOnNextLine("");
      ShowHere(line.substr(start));
      break;
    }
    // Tags are read in the PDF's code page, as the picture collection read them.
    std::string tag_bytes;
    if (unicode_) Utf8ToWindows1252(element->tag, tag_bytes);
    const std::string_view tag = unicode_ ? std::string_view(tag_bytes) : element->tag;
    ElementStyle style = ApplyTag(tag);

    cursor_.AddLines(RoundHalfEven(static_cast<double>(style.SizeScale) / 1.2));

    std::string_view before = line.substr(start, element->open - start);
    if (!before.empty()) {
      if (!continued) page.ShowOnNextLine("");
      ShowHere(before);
    } else if (!continued && !IsContentlessTag(tag)) {
      // A line that begins with a text element starts on a new text line, like one whose
      // element follows some text.
      page.ShowOnNextLine("");
    }

    start = element->resume;
    const bool recolored = style.color != g.ForeColor;
    if (recolored) writer_.page().SetFillColour(style.color);
    double size = g.FontSize.ToDouble() * static_cast<double>(style.SizeScale);
    const double most = std::max(static_cast<double>(g.PageHeight), g.FontSize.ToDouble());
    if (size > most) {
      size = most;
      WarnOutOfBounds(writer_, tag);
    }
    writer_.page().SelectFont(FontAt(style.FontPosition), size);
    font_ = &FontAt(style.FontPosition);
    size_ = size;
    colour_ = style.color;
    if (!element->content.empty()) ShowHere(element->content);
    writer_.page().SelectFont(writer_.fonts().Document(), g.FontSize);
    if (recolored) writer_.page().SetFillColour(g.ForeColor);
    font_ = &writer_.fonts().Document();
    size_ = g.FontSize.ToDouble();
    colour_ = g.ForeColor;

    if (start < line.size()) {
      continued = scanner.HasMarkupFrom(start);
      if (continued) continue;
      ShowHere(line.substr(start));
    } else if (element->content.empty()) {
      page.ShowOnNextLine("");
    }
    break;
  }
  cursor_.AdvanceVertical();
  unicode_ = nullptr;
}

int MarkupInterpreter::BoldFont() const {
  const int index = writer_.fonts().DocumentFontIndex();
  return index + 2 < kFontCount ? index + 3 : kFontCount;
}

int MarkupInterpreter::ItalicFont() const {
  const int index = writer_.fonts().DocumentFontIndex();
  return index + 1 < kFontCount ? index + 2 : kFontCount;
}

ElementStyle MarkupInterpreter::ApplyTag(std::string_view tag) {
  ElementStyle style;
  style.color = writer_.geometry().ForeColor;
  const char first = tag.empty() ? '\0' : tag.front();
  auto number_at_second = [&] { return static_cast<float>(ReadNumber(tag.substr(1))); };
  if (first == 'h' || first == 'b' || first == 'H' || first == 'B') {
    style.FontPosition = BoldFont();
    style.SizeScale = number_at_second();
    if (first == 'H' || first == 'B') style.color = std::string(ColorOperands(color_index::kBlue));
  } else if (IsTabTag(tag)) {
    ApplyTabTag(tag);
  } else if (IsImageTag(tag)) {
    if (placer_) placer_->PlaceImage(tag);
  } else if (first == 'i' || first == 'I') {
    style.FontPosition = ItalicFont();
    style.SizeScale = number_at_second();
    if (first == 'I') style.color = std::string(ColorOperands(color_index::kBlue));
  } else if (first == 'f' || first == 'F') {
    ApplyFontTag(tag, style);
  }
  // A factor that is not above 0, or not a number at all, is 1; a large one stays as it is
  // (the line count it adds is kept from overflowing where it is added).
  if (!(style.SizeScale > 0) || !std::isfinite(style.SizeScale)) style.SizeScale = 1;
  return style;
}

void MarkupInterpreter::ApplyTabTag(std::string_view tag) {
  const PageGeometry& g = writer_.geometry();
  int32_t left = AttributeToInt(TagAttribute(tag, "left", std::to_string(g.LeftMarginPt)));
  int32_t top = AttributeToInt(TagAttribute(tag, "top", "0"));
  bool bounded = false;
  left = Bounded(left, -kMaxPosition, kMaxPosition, &bounded);
  if (bounded) WarnOutOfBounds(writer_, tag);
  // The text continues at left, top; a top outside the page means the page's first line.
  if (top <= 0 || top > g.PageHeight) {
    Fixed4 first = Fixed4::FromInt(g.PageHeight) - Fixed4::FromInt(g.TopMarginPt) - g.Leading;
    top = RoundToInt32(first.ToDouble()).value_or(0);
  }
  cursor_.SetVertical(static_cast<float>(top));
  cursor_.SetLineStart(left);
  x_ = left;
  writer_.page().MoveTextTo(left, top);
}

void MarkupInterpreter::ApplyFontTag(std::string_view tag, ElementStyle& style) {
  const PageGeometry& st = writer_.geometry();
  if (auto color = FontTagColor(tag)) style.color = *color;

  size_t size_at = FindIgnoreCase(tag, "size=");
  if (size_at != std::string_view::npos) {
    std::string_view value = tag.substr(size_at + 5);
    const char sign = value.empty() ? '\0' : value.front();
    const double font_size = st.FontSize.ToDouble();
    if (font_size <= 0) {
      style.SizeScale = 1;
    } else if (sign == '+' || sign == '-') {
      Fixed4 n = Fixed4::FromDouble(ReadNumber(value.substr(1)));
      Fixed4 sum = sign == '+' ? st.FontSize + n : st.FontSize - n;
      style.SizeScale = static_cast<float>(sum.ToDouble() / font_size);
    } else {
      double n = Fixed4::FromDouble(ReadNumber(value)).ToDouble();
      style.SizeScale = static_cast<float>(n > 0 ? n / font_size : n);
    }
  }

  const bool bold = FindIgnoreCase(tag, "bold") != std::string_view::npos;
  const bool italic = FindIgnoreCase(tag, "italic") != std::string_view::npos ||
                      FindIgnoreCase(tag, "oblique") != std::string_view::npos;
  const int font_index = writer_.fonts().DocumentFontIndex();
  size_t face_at = FindIgnoreCase(tag, "face=");
  if (face_at != std::string_view::npos) {
    double number = ReadNumber(tag.substr(face_at + 5, 2));
    if (number != 0) {
      // A number names a font resource directly; one that the resources lack (outside 1 to 20,
      // or not whole) falls back to the document font.
      bool valid = number >= 1 && number <= kFontCount && number == std::floor(number);
      style.FontPosition = valid ? static_cast<int>(number) : 0;
    } else {
      style.FontPosition = FontForFace(tag.substr(face_at + 5), italic, bold, font_index);
    }
  } else if (bold || italic) {
    style.FontPosition = FontForFace("", italic, bold, font_index);
  }
}

}  // namespace vellumox
