#include "layout/bidi_paragraph.h"

#include <algorithm>

#include "layout/display_order.h"
#include "layout/line_breaks.h"
#include "writer/text_clusters.h"

namespace vellumox {

namespace {

// Widths are sums of thousandths of a size: a text that ends this close to the room's end ends
// on it.
constexpr double kSlack = 1e-6;

// A word or a run of blanks of one text, in the paragraph's bytes.
struct Token {
  size_t text = 0;  // which of the paragraph's texts
  size_t begin = 0, end = 0;
  bool blank = false;
  double width = 0;
};

struct Line {
  std::vector<Token> tokens;
  double width = 0;
  bool wrapped = false;   // it goes on where the line before broke for want of room
  bool has_word = false;  // a word stands on it
};

}  // namespace

std::vector<VisualLine> LayOutParagraph(const std::vector<StyledText>& texts, bool right_to_left,
                                        double room, const MeasureText& measure,
                                        LineBreaker* breaker) {
  // The paragraph's text, and its levels decided across all its texts.
  std::string all;
  std::vector<size_t> starts;
  for (const StyledText& t : texts) {
    starts.push_back(all.size());
    all += t.text;
  }
  const std::vector<unsigned char> levels = ParagraphLevels(all, right_to_left);
  const std::vector<size_t> breaks = breaker ? breaker->Opportunities(all) : std::vector<size_t>();
  size_t next_break = 0;

  // Lines: words added while they fit, the blanks between them kept inside a line.
  std::vector<Line> lines(1);
  auto new_line = [&](bool wrapped) {
    lines.emplace_back();
    lines.back().wrapped = wrapped;
  };
  for (size_t i = 0; i < texts.size(); ++i) {
    const StyledText& t = texts[i];
    if (t.break_before && i > 0) new_line(false);
    const int style = t.style;
    for (size_t at = 0; at < t.text.size();) {
      const bool blank = t.text[at] == ' ';
      size_t end = blank ? t.text.find_first_not_of(' ', at) : t.text.find(' ', at);
      if (end == std::string::npos) end = t.text.size();
      if (!blank) {
        // A word ends where the scripts' rules let a line break inside it too.
        while (next_break < breaks.size() && breaks[next_break] <= starts[i] + at) ++next_break;
        if (next_break < breaks.size() && breaks[next_break] < starts[i] + end) {
          end = breaks[next_break] - starts[i];
        }
      }
      Token token{i, starts[i] + at, starts[i] + end, blank, 0};
      const std::string_view text(t.text.data() + at, end - at);
      at = end;
      Line* line = &lines.back();
      if (blank) {
        if (line->wrapped && line->tokens.empty()) continue;  // a wrapped line starts with a word
        token.width = measure(style, text);
        line->tokens.push_back(token);
        line->width += token.width;
        continue;
      }
      token.width = measure(style, text);
      if (line->width + token.width > room + kSlack && line->has_word) {
        new_line(true);
        line = &lines.back();
      }
      line->has_word = true;
      if (token.width <= room + kSlack || !line->tokens.empty()) {
        line->tokens.push_back(token);
        line->width += token.width;
        continue;
      }
      // A word wider than a line on its own: cut between characters where the room ends.
      size_t piece = 0;  // where the piece being filled starts, in the word
      double width = 0;
      for (size_t c = 0; c < text.size();) {
        const size_t next = ClusterEnd(text, c);
        const double w = measure(style, text.substr(c, next - c));
        if (width + w > room + kSlack && c > piece) {
          line->tokens.push_back({i, token.begin + piece, token.begin + c, false, width});
          line->width += width;
          new_line(true);
          line = &lines.back();
          line->has_word = true;
          piece = c;
          width = 0;
        }
        width += w;
        c = next;
      }
      line->tokens.push_back({i, token.begin + piece, token.end, false, width});
      line->width += width;
    }
  }

  // Each line in display order: its blanks at the end dropped, its runs of one level and one
  // text reordered.
  std::vector<VisualLine> visual;
  for (Line& line : lines) {
    while (!line.tokens.empty() && line.tokens.back().blank) {
      line.width -= line.tokens.back().width;
      line.tokens.pop_back();
    }
    struct Logical {
      size_t text = 0;
      size_t begin = 0, end = 0;
      unsigned char level = 0;
    };
    std::vector<Logical> runs;
    for (const Token& token : line.tokens) {
      for (size_t b = token.begin; b < token.end; ++b) {
        if (!runs.empty() && runs.back().text == token.text && runs.back().level == levels[b] &&
            runs.back().end == b) {
          runs.back().end = b + 1;
        } else {
          runs.push_back({token.text, b, b + 1, levels[b]});
        }
      }
    }
    std::vector<unsigned char> run_levels;
    for (const Logical& run : runs) run_levels.push_back(run.level);
    VisualLine out;
    out.width = std::max(0.0, line.width);
    for (size_t k : ReorderedRuns(run_levels)) {
      const Logical& run = runs[k];
      out.runs.push_back({all.substr(run.begin, run.end - run.begin), texts[run.text].style,
                          (run.level & 1) != 0});
    }
    visual.push_back(std::move(out));
  }
  return visual;
}

}  // namespace vellumox
