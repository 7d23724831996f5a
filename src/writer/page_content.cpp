#include "writer/page_content.h"

namespace vellumox {

void PageContent::SelectFont(const Font& font, double size) {
  failure_.Trapped([&] {
    font_ = &font;
    points_ = size;
    size_ = FormatNumber(size);
    in_force_ = font.ResourceName();
    out_.EmitLine("/" + in_force_ + " " + size_ + " Tf");
  });
}

void PageContent::SelectFont(const Font& font, Fixed4 size) {
  failure_.Trapped([&] {
    font_ = &font;
    points_ = size.ToDouble();
    size_ = FormatNumber(size);
    in_force_ = font.ResourceName();
    out_.EmitLine("/" + in_force_ + " " + size_ + " Tf");
  });
}

void PageContent::SetFillColour(std::string_view operands) {
  failure_.Trapped([&] { out_.EmitLine(operands, " rg ", ""); });
}

void PageContent::MoveTextTo(int32_t x, int32_t y) {
  failure_.Trapped(
      [&] { out_.EmitLine("1 0 0 1 " + FormatNumber(x) + " " + FormatNumber(y) + " Tm"); });
}

void PageContent::ShiftLine(double points) {
  failure_.Trapped([&] { out_.EmitLine(FormatNumber(points), " 0 Td", ""); });
}

namespace {

// A run of the standard font that holds blanks alone.
bool IsBlankRun(const TextRun& run) {
  return !run.text.empty() && run.text.find_first_not_of(' ') == std::string_view::npos;
}

}  // namespace

template <class Runs>
void PageContent::WriteRuns(const Runs& runs) {
  failure_.Trapped([&] {
    out_.EmitLineBuiltBy([&](std::string& line) {
      std::vector<ShownText> shown;
      for (auto run = runs.begin(); run != runs.end();) {
        if (run != runs.begin()) line += ' ';
        const Font* font = run->font ? run->font : font_;
        if (font->ResourceName() != in_force_) {
          in_force_ = font->ResourceName();
          line += "/" + in_force_ + " " + size_ + " Tf ";
        }
        // The runs that follow it in the same embedded face share its operand, and so do the
        // blanks of the standard font between two of them: drawn in the face as wide as the
        // standard font's, they spare two font changes.
        const TextStart start = run->start;
        shown.clear();
        const bool face = run->font && run->font != font_ && !run->font->EncodesBytesAsText();
        shows_faces_ = shows_faces_ || face;
        shown.push_back({run->text, run->direction, run->gap, run->blank});
        for (++run; face && run != runs.end() && run->start == TextStart::kHere;) {
          auto next = run;
          if (!run->font && IsBlankRun(*run)) {
            ++next;
            if (next == runs.end() || next->font != font || next->start != TextStart::kHere) break;
            shown.push_back({run->text, TextDirection::kNatural, run->gap,
                             static_cast<int32_t>(font_->Width(" "))});
          } else if (run->font != font) {
            break;
          }
          shown.push_back({next->text, next->direction, next->gap, next->blank});
          run = next + 1;
        }
        // A string goes with "'" (next line, then show) or "Tj"; an array of strings and
        // adjustments with "TJ", after "T*" for the next line.
        const size_t operand = line.size();
        font->Encode(shown, points_, line);
        in_force_ = font->ResourceName();  // a face may go on in a new instance of itself
        if (line[operand] != '[') {
          line += start == TextStart::kNextLine ? "'" : " Tj";
        } else {
          if (start == TextStart::kNextLine) line.insert(operand, "T* ");
          line += " TJ";
        }
      }
    });
  });
}

void PageContent::ShowText(std::initializer_list<TextRun> runs) {
  WriteRuns(runs);
}

void PageContent::ShowText(const std::vector<TextRun>& runs) {
  WriteRuns(runs);
}

void PageContent::PutFontInForce() {
  if (font_->ResourceName() == in_force_) return;
  failure_.Trapped([&] {
    in_force_ = font_->ResourceName();
    out_.EmitLine("/" + in_force_ + " " + size_ + " Tf");
  });
}

bool PageContent::ShowOnNextLineWithin(std::string_view text, size_t max_encoded) {
  if (failure_.Failed()) return false;
  PutFontInForce();
  if (!font_->EncodesBytesAsText()) {
    if (font_->EncodedLength(text) > max_encoded) return false;
    ShowOnNextLine(text);
    return true;
  }
  bool shown = false;
  failure_.Trapped([&] { shown = out_.EmitEscapedLineWithin("(", text, ")'", max_encoded); });
  return shown;
}

}  // namespace vellumox
