#include "layout/markup_interpreter.h"

#include <algorithm>
#include <cmath>

#include "layout/markup_rules.h"
#include "layout/text_rules.h"
#include "writer/code_page.h"
#include "writer/color_table.h"
#include "writer/font_table.h"
#include "writer/number_text.h"
#include "writer/path_names.h"

namespace vellumox {

namespace {

bool StartsWithIgnoreCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualsIgnoreCase(text.substr(0, prefix.size()), prefix);
}

bool IsContentless(std::string_view tag) {
  return StartsWithIgnoreCase(tag, "img") || StartsWithIgnoreCase(tag, "tab");
}

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

void MarkupInterpreter::WriteText(std::string_view prefix, std::string_view text,
                                  std::string_view suffix) {
  const bool formatting = writer_.state().UseTextFormating;
  std::string line(prefix);
  line += ExpandInlineMarks(text, formatting);
  line += suffix;
  writer_.EmitLine(line);
}

void MarkupInterpreter::LayoutMarkupLine(std::string_view line) {
  const WriterState& st = writer_.state();
  size_t trimmed = line.find_last_not_of(' ');
  line = line.substr(0, trimmed == std::string_view::npos ? 0 : trimmed + 1);

  constexpr size_t npos = std::string_view::npos;
  ForwardFinder open_finder(line, "<", false);
  ForwardFinder tag_end_finder(line, ">", false);
  ForwardFinder close_finder(line, "</", false);
  ForwardFinder resume_finder(line, ">", false);
  MarkupTest markup_after(line, true);

  bool continued = false;
  size_t start = 0;  // the remaining line is line[start, end)
  for (;;) {
    // The first element that can be laid out: its tag ends with ">", and unless it is an image
    // or tab tag, a "</" follows to end its content. A "<" that starts no such element stays
    // text.
    size_t open = start;
    size_t after_tag = npos, content_end = npos, resume = npos;
    for (;;) {
      open = open_finder.Find(open);
      if (open == npos) break;
      size_t tag_end = tag_end_finder.Find(open);
      if (tag_end == npos) {
        open = npos;
        break;
      }
      after_tag = tag_end + 1;
      std::string_view tag = line.substr(open + 1, tag_end - open - 1);
      if (IsContentless(tag)) {
        content_end = resume = after_tag;
        break;
      }
      content_end = close_finder.Find(after_tag);
      if (content_end != npos) {
        size_t close_end = resume_finder.Find(content_end);
        resume = close_end == npos ? line.size() : close_end + 1;
        break;
      }
      open += 1;
    }
    if (open == npos) {
      // Nothing left that is markup: the rest is text on the current text line.
      if (!continued) writer_.EmitLine("()'");
      WriteText("(", line.substr(start), ") Tj");
      break;
    }

    std::string_view tag = line.substr(open + 1, after_tag - open - 2);
    ElementStyle style = ApplyTag(tag);

    writer_.AddLinesOnPage(RoundHalfEven(static_cast<double>(style.SizeScale) / 1.2));

    std::string_view before = line.substr(start, open - start);
    if (!before.empty()) {
      if (!continued) writer_.EmitLine("()'");
      WriteText("(", before, ") Tj");
    } else if (!continued && !IsContentless(tag)) {
      // A line that begins with a text element starts on a new text line, like one whose
      // element follows some text.
      writer_.EmitLine("()'");
    }

    std::string_view content = line.substr(after_tag, content_end - after_tag);
    start = std::min(resume, line.size());

    const bool recolored = style.color != st.ForeColor;
    if (recolored) writer_.EmitLine(style.color + " rg ");
    double size = st.FontSize.ToDouble() * static_cast<double>(style.SizeScale);
    const double most = std::max(static_cast<double>(st.PageHeight), st.FontSize.ToDouble());
    if (size > most) {
      size = most;
      WarnOutOfBounds(writer_, tag);
    }
    writer_.EmitLine("/" + style.FontResource + " " + FormatNumber(size) + " Tf");
    if (!content.empty()) WriteText("(", content, ") Tj");
    writer_.EmitLine("/F0 " + FormatNumber(st.FontSize) + " Tf");
    if (recolored) writer_.EmitLine(st.ForeColor + " rg ");

    if (start < line.size()) {
      continued = markup_after.From(start);
      if (continued) continue;
      WriteText("(", line.substr(start), ") Tj");
    } else if (content.empty()) {
      writer_.EmitLine("()'");
    }
    break;
  }
  writer_.AdvanceVerticalCursor();
}

std::string MarkupInterpreter::BoldFont() const {
  const int index = writer_.state().FontIndex;
  return index + 2 < kFontCount ? "F" + std::to_string(index + 3)
                                : "F" + std::to_string(kFontCount);
}

std::string MarkupInterpreter::ItalicFont() const {
  const int index = writer_.state().FontIndex;
  return index + 1 < kFontCount ? "F" + std::to_string(index + 2)
                                : "F" + std::to_string(kFontCount);
}

ElementStyle MarkupInterpreter::ApplyTag(std::string_view tag) {
  ElementStyle style;
  style.color = writer_.state().ForeColor;
  const char first = tag.empty() ? '\0' : tag.front();
  auto number_at_second = [&] { return static_cast<float>(ReadNumber(tag.substr(1))); };
  if (first == 'h' || first == 'b' || first == 'H' || first == 'B') {
    style.FontResource = BoldFont();
    style.SizeScale = number_at_second();
    if (first == 'H' || first == 'B') style.color = std::string(ColorOperands(color_index::kBlue));
  } else if (StartsWithIgnoreCase(tag, "tab")) {
    ApplyTabTag(tag);
  } else if (StartsWithIgnoreCase(tag, "img")) {
    if (placer_) placer_->PlaceImage(tag);
  } else if (first == 'i' || first == 'I') {
    style.FontResource = ItalicFont();
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
  const WriterState& st = writer_.state();
  int32_t left = AttributeToInt(TagAttribute(tag, "left", std::to_string(st.LeftMarginPt)));
  int32_t top = AttributeToInt(TagAttribute(tag, "top", "0"));
  bool bounded = false;
  left = Bounded(left, -kMaxPosition, kMaxPosition, &bounded);
  if (bounded) WarnOutOfBounds(writer_, tag);
  writer_.StartColumn(left, top);
}

void MarkupInterpreter::ApplyFontTag(std::string_view tag, ElementStyle& style) {
  const WriterState& st = writer_.state();
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
  const int font_index = st.FontIndex;
  size_t face_at = FindIgnoreCase(tag, "face=");
  if (face_at != std::string_view::npos) {
    double number = ReadNumber(tag.substr(face_at + 5, 2));
    if (number != 0) {
      // A number names a font resource directly; one that the resources lack (outside 1 to 20,
      // or not whole) falls back to the document font.
      bool valid = number >= 1 && number <= kFontCount && number == std::floor(number);
      style.FontResource = valid ? "F" + std::to_string(static_cast<int>(number)) : "F0";
    } else {
      style.FontResource = FontForFace(tag.substr(face_at + 5), italic, bold, font_index);
    }
  } else if (bold || italic) {
    style.FontResource = FontForFace("", italic, bold, font_index);
  }
}

}  // namespace vellumox
