#include "layout/markup_interpreter.h"

#include <algorithm>
#include <cmath>
#include <deque>

#include "layout/display_order.h"
#include "layout/fallback_fonts.h"
#include "layout/markup_rules.h"
#include "layout/markup_scanner.h"
#include "layout/text_rules.h"
#include "writer/code_page.h"
#include "writer/color_table.h"
#include "writer/font_table.h"
#include "writer/number_text.h"
#include "writer/path_names.h"

namespace vellumox {

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

void ShowMarkedText(PageContent& page, std::string_view text, bool use_text_formatting,
                    TextStart last, FallbackFonts* unicode) {
  if (!unicode && (!use_text_formatting || !MayHoldInlineMarks(text))) {
    page.ShowText({TextRun{text, last}});
    return;
  }
  const std::vector<std::string> pieces = InlineMarkPieces(text, use_text_formatting);
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
      split.push_back(SplitIntoFontRuns(piece.substr(stretch.begin, stretch.end - stretch.begin),
                                        page.CurrentFont(), *unicode));
      FontRuns& font_runs = split.back();
      const size_t count = font_runs.texts.size();
      for (size_t i = 0; i < count; ++i) {
        const size_t r = stretch.right_to_left ? count - 1 - i : i;
        TextDirection direction = TextDirection::kNatural;
        if (stretch.right_to_left) {
          if (font_runs.fonts[r]) {
            direction = TextDirection::kRightToLeft;
          } else {
            font_runs.texts[r] = ReversedForDisplay(font_runs.texts[r]);
          }
        }
        runs.push_back({font_runs.texts[r], TextStart::kHere, font_runs.fonts[r], direction});
      }
    }
    if (runs.size() == first) runs.push_back({"", start});
    runs[first].start = start;
  }
  page.ShowText(runs);
}

void MarkupInterpreter::ShowHere(std::string_view text) {
  ShowMarkedText(writer_.page(), text, writer_.geometry().UseTextFormating, TextStart::kHere,
                 unicode_);
}

const Font& MarkupInterpreter::FontAt(int position) const {
  const StandardFonts& fonts = writer_.fonts();
  return position == 0 ? fonts.Document() : fonts.TableFont(position);
}

void MarkupInterpreter::LayoutMarkupLine(std::string_view line, FallbackFonts* unicode) {
  unicode_ = unicode;
  const PageGeometry& g = writer_.geometry();
  PageContent& page = writer_.page();
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
    if (recolored) page.SetFillColour(style.color);
    double size = g.FontSize.ToDouble() * static_cast<double>(style.SizeScale);
    const double most = std::max(static_cast<double>(g.PageHeight), g.FontSize.ToDouble());
    if (size > most) {
      size = most;
      WarnOutOfBounds(writer_, tag);
    }
    page.SelectFont(FontAt(style.FontPosition), size);
    if (!element->content.empty()) ShowHere(element->content);
    page.SelectFont(writer_.fonts().Document(), g.FontSize);
    if (recolored) page.SetFillColour(g.ForeColor);

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
