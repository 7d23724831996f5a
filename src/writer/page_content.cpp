#include "writer/page_content.h"

namespace vellumox {

void PageContent::SelectFont(const Font& font, double size) {
  failure_.Trapped([&] {
    font_ = &font;
    points_ = size;
    size_ = FormatNumber(size);
    out_.EmitLine("/" + font.ResourceName() + " " + size_ + " Tf");
  });
}

void PageContent::SelectFont(const Font& font, Fixed4 size) {
  failure_.Trapped([&] {
    font_ = &font;
    points_ = size.ToDouble();
    size_ = FormatNumber(size);
    out_.EmitLine("/" + font.ResourceName() + " " + size_ + " Tf");
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

template <class Runs>
void PageContent::WriteRuns(const Runs& runs) {
  failure_.Trapped([&] {
    out_.EmitLineBuiltBy([&](std::string& line) {
      const Font* in_force = font_;
      bool first = true;
      for (const TextRun& run : runs) {
        if (!first) line += ' ';
        first = false;
        const Font* font = run.font ? run.font : font_;
        if (font != in_force) {
          line += "/" + font->ResourceName() + " " + size_ + " Tf ";
          in_force = font;
        }
        // A string goes with "'" (next line, then show) or "Tj"; an array of strings and
        // adjustments with "TJ", after "T*" for the next line.
        const size_t operand = line.size();
        font->Encode(run.text, run.direction, points_, line);
        if (run.gap != 0) {
          // An adjustment moves the pen left by its thousandths: a gap is a negative one.
          const std::string move = std::to_string(-run.gap) + " ";
          if (line[operand] == '[') {
            line.insert(operand + 1, move);
          } else {
            line.insert(operand, "[" + move);
            line += ']';
          }
        }
        if (line[operand] != '[') {
          line += run.start == TextStart::kNextLine ? "'" : " Tj";
        } else {
          if (run.start == TextStart::kNextLine) line.insert(operand, "T* ");
          line += " TJ";
        }
      }
      if (in_force != font_) line += " /" + font_->ResourceName() + " " + size_ + " Tf";
    });
  });
}

void PageContent::ShowText(std::initializer_list<TextRun> runs) {
  WriteRuns(runs);
}

void PageContent::ShowText(const std::vector<TextRun>& runs) {
  WriteRuns(runs);
}

bool PageContent::ShowOnNextLineWithin(std::string_view text, size_t max_encoded) {
  if (failure_.Failed()) return false;
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
