#include "layout/line_layout.h"

#include <hb.h>
#include <unicode/bytestream.h>
#include <unicode/normalizer2.h>

#include <algorithm>
#include <limits>

#include "layout/display_order.h"
#include "layout/markup_scanner.h"
#include "layout/text_rules.h"
#include "writer/code_page.h"
#include "writer/input_text.h"
#include "writer/path_names.h"

namespace vellumox {

LineLayout::LineLayout(DocumentWriter& writer)
    : writer_(writer), markup_(writer, cursor_), fallback_(writer) {
  markup_.SetPageBreak([this] { PageBreak(); });
  markup_.SetLineBreaker(&breaker_);
}

void LineLayout::StartDocument(bool unicode_fonts) {
  unicode_fonts_ = unicode_fonts;
  needs_unicode_fonts_ = false;
  fallback_.Reset();
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

bool LineLayout::BreakBefore(std::string_view line, const LineSurvey& survey) {
  if (survey.marks && EqualsIgnoreCase(line, "<pagebreak>")) {
    PageBreak();
    return true;
  }
  // A line of form feeds alone separates pages, as in album lists: it breaks the page and
  // prints nothing, so the next page starts at its first line.
  if (survey.form_feed && line.find_first_not_of("\f ") == std::string_view::npos) {
    PageBreak();
    return true;
  }
  // A form feed breaks the page once, before its line; the feed stays in the text.
  if (cursor_.Line() >= writer_.geometry().LinesPerPage || survey.form_feed) PageBreak();
  return false;
}

namespace {

// UTF-8 text in normalisation form C: marks put together with their characters, and the
// characters that are another's twin (U+212A KELVIN SIGN is K, U+212B ANGSTROM SIGN is \xC3\x85)
// replaced by it.
std::string Nfc(std::string_view utf8) {
  UErrorCode status = U_ZERO_ERROR;
  const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
  std::string out;
  if (U_SUCCESS(status)) {
    icu::StringByteSink<std::string> sink(&out, static_cast<int32_t>(utf8.size()));
    nfc->normalizeUTF8(0, icu::StringPiece(utf8.data(), static_cast<int32_t>(utf8.size())), sink,
                       nullptr, status);
  }
  return U_SUCCESS(status) ? out : std::string(utf8);
}

// Whether UTF-8 text is in normalisation form C already (as most text is), so that Nfc would
// give it back as it is.
bool IsNfc(std::string_view utf8) {
  UErrorCode status = U_ZERO_ERROR;
  const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
  if (U_FAILURE(status)) return false;
  const bool normal = nfc->isNormalizedUTF8(
      icu::StringPiece(utf8.data(), static_cast<int32_t>(utf8.size())), status);
  return U_SUCCESS(status) && normal;
}

// Whether every character of UTF-8 text has a byte in Windows-1252; stops at the first that
// has none.
bool AllInWindows1252(std::string_view utf8) {
  for (size_t at = 0; at < utf8.size();) {
    if (static_cast<unsigned char>(utf8[at]) < 0x80) {
      ++at;
      continue;
    }
    if (Windows1252ByteOf(NextCodePoint(utf8, at)) < 0) return false;
  }
  return true;
}

}  // namespace

bool LineLayout::InWindows1252(std::string_view line, bool use_text_formatting, std::string& out,
                               std::string& composed) {
  out.clear();
  composed.clear();
  if (AllInWindows1252(line)) {
    Utf8ToWindows1252(line, out);
    return true;
  }
  // In normalisation form C, which also puts a mark after its character together with it ("e"
  // and a combining acute are the Windows-1252 "\xE9").
  const bool normal = IsNfc(line);
  const std::string nfc = normal ? std::string() : Nfc(line);
  if (!normal && AllInWindows1252(nfc)) {
    Utf8ToWindows1252(nfc, out);
    return true;
  }
  // Characters beyond Windows-1252 inside tags alone are never drawn: the line is the one that
  // has "?" there (what the tags are read as in any case).
  if (use_text_formatting && line.find('<') != std::string_view::npos) {
    const std::string_view text = normal ? line : std::string_view(nfc);
    if (AllInWindows1252(DrawnText(text, true))) {
      Utf8ToWindows1252(text, out);
      return true;
    }
  }
  // Text in normalisation form C has no mark left that composes with what stands before it.
  composed = normal ? std::string(line) : ComposeMarks(line);
  return false;
}

bool LineLayout::LineNeedsUnicodeFonts(std::string_view line, bool use_text_formatting) {
  if (FindNonAscii(line) == std::string_view::npos) return false;
  std::string converted, composed;
  return !InWindows1252(line, use_text_formatting, converted, composed);
}

void LineLayout::PrintUtf8Line(std::string_view line) {
  // Most lines of most texts are ASCII, the same bytes in both.
  if (FindNonAscii(line) == std::string_view::npos) {
    PrintLine(line);
    return;
  }
  std::string composed;
  if (InWindows1252(line, writer_.geometry().UseTextFormating, converted_, composed)) {
    PrintLine(converted_);
    return;
  }
  if (!unicode_fonts_) {
    needs_unicode_fonts_ = true;
    return;
  }
  LayoutUtf8(composed);
}

void LineLayout::PrintLine(std::string_view line) {
  const PageGeometry& g = writer_.geometry();
  const LineSurvey survey = SurveyLine(line);
  if (BreakBefore(line, survey)) return;
  size_t end = line.find_last_not_of(' ');
  line = line.substr(0, end == std::string_view::npos ? 0 : end + 1);

  constexpr size_t kGlyphFitAlone = std::numeric_limits<size_t>::max() / 4;
  const int32_t chars = wrap_width_.value_or(g.CharsPerLine);
  const size_t width = chars < kMinimumWidth ? kGlyphFitAlone : static_cast<size_t>(chars);
  const bool marks = g.UseTextFormating && survey.marks;
  // Text stays between the margins: a line is laid out whole only when it is within the wrap
  // width and its glyphs fit as well (a longer line is measured piece by piece).
  const Font& font = writer_.fonts().Document();
  const bool fits = line.size() <= width && font.FitsWithin(line, g.LineWidthLimit);
  // Most lines hold no markup and fit: the plain path, escaped straight into the output.
  if (!marks && !survey.spacing && fits && writer_.page().ShowOnNextLineWithin(line, width)) {
    cursor_.AdvanceLine();
    return;
  }
  if (marks && HasMarkup(line, g.UseTextFormating)) {
    markup_.LayoutMarkupLine(line);  // a line with markup wraps as its markup says
    return;
  }
  if (survey.spacing) {
    // Tabs advance to their stops and soft hyphens show only where the line breaks: the
    // character-by-character layout, which knows where each character stands.
    const std::string utf8 = Windows1252ToUtf8(line);
    fallback_.SetParagraph(utf8, false);
    WrapUtf8(utf8, width, false);
    return;
  }
  const size_t encoded = font.EncodedLength(line);
  if (fits && encoded <= width) {
    LayoutPlain(line);
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

namespace {

// A character of a UTF-8 line as the wrap sees it: where it ends, its advance, what it counts
// towards the wrap width, and whether a line may end after it.
struct Unit {
  size_t end = 0;
  int64_t width = 0;
  size_t counted = 1;
  bool break_after = false;
  const Font* face = nullptr;  // the embedded face that shows it, if any
  bool tab = false;            // its width is the way to the next tab stop
  bool soft_hyphen = false;    // drawn (as a hyphen) only where the line breaks after it
};

// A soft hyphen in UTF-8.
constexpr std::string_view kSoftHyphenUtf8 = "\xC2\xAD";

// The advances of characters shown in embedded faces: each run of one face is shaped once, as
// it will be shown (joined letters, ligatures and kerning measured as drawn), and each glyph's
// advance goes to the character whose cluster it belongs to.
void MeasureFaceRuns(std::string_view line, std::vector<Unit>& units) {
  std::vector<ShapedGlyph> glyphs;
  for (size_t first = 0; first < units.size();) {
    const Font* face = units[first].face;
    size_t last = first + 1;
    while (last < units.size() && face && units[last].face == face) ++last;
    if (face) {
      const size_t begin = first == 0 ? 0 : units[first - 1].end;
      face->Shape(line.substr(begin, units[last - 1].end - begin), glyphs);
      for (const ShapedGlyph& glyph : glyphs) {
        const size_t at = begin + glyph.cluster;
        const auto unit =
            std::upper_bound(units.begin() + static_cast<std::ptrdiff_t>(first),
                             units.begin() + static_cast<std::ptrdiff_t>(last), at,
                             [](size_t offset, const Unit& u) { return offset < u.end; });
        if (unit != units.begin() + static_cast<std::ptrdiff_t>(last)) unit->width += glyph.advance;
      }
    }
    first = last;
  }
}

// The text of a markup line without what stands between "<" and ">", for its direction.
std::string WithoutTags(std::string_view line) {
  std::string text;
  bool in_tag = false;
  for (char c : line) {
    if (c == '<') in_tag = true;
    if (!in_tag) text += c;
    if (c == '>') in_tag = false;
  }
  return text;
}

}  // namespace

std::string ComposeMarks(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  hb_unicode_funcs_t* funcs = hb_unicode_funcs_get_default();
  char32_t pending = 0;
  bool have = false;
  for (size_t at = 0; at < utf8.size();) {
    const char32_t c = NextCodePoint(utf8, at);
    hb_codepoint_t joined = 0;
    // Nothing below U+0300 (the combining marks' start) composes with what stands before it.
    if (have && c >= 0x300 && hb_unicode_compose(funcs, pending, c, &joined)) {
      pending = joined;
      continue;
    }
    if (have) AppendUtf8(pending, out);
    pending = c;
    have = true;
  }
  if (have) AppendUtf8(pending, out);
  return out;
}

void LineLayout::LayoutUtf8(std::string_view line) {
  const PageGeometry& g = writer_.geometry();
  if (BreakBefore(line, SurveyLine(line))) return;
  size_t end = line.find_last_not_of(' ');
  line = line.substr(0, end == std::string_view::npos ? 0 : end + 1);
  const bool markup = HasMarkup(line, g.UseTextFormating);
  const std::string text = markup ? WithoutTags(line) : std::string(line);
  fallback_.SetParagraph(text, StartsRightToLeft(text));
  if (markup) {
    markup_.LayoutMarkupLine(line, &fallback_);
    return;
  }
  constexpr size_t kGlyphFitAlone = std::numeric_limits<size_t>::max() / 4;
  const int32_t chars = wrap_width_.value_or(g.CharsPerLine);
  WrapUtf8(line, chars < kMinimumWidth ? kGlyphFitAlone : static_cast<size_t>(chars), true);
}

const LineLayout::AsciiMeasures& LineLayout::AsciiMeasuresOf(const Font& standard) {
  if (ascii_.font != &standard) {
    ascii_.font = &standard;
    for (size_t c = 0; c < 128; ++c) {
      const char byte = static_cast<char>(c);
      ascii_.width[c] = standard.Width(std::string_view(&byte, 1));
      ascii_.counted[c] = standard.EncodedLength(std::string_view(&byte, 1));
    }
  }
  return ascii_;
}

// As Wrap does for Windows-1252, over characters: each measured in the font that shows it.
void LineLayout::WrapUtf8(std::string_view line, size_t width, bool script_breaks) {
  const PageGeometry& g = writer_.geometry();
  const Font& standard = writer_.fonts().Document();
  // Each character with the marks after it is a unit, in the face that the line's runs give it
  // (a word's face is chosen for the whole word), measured as it will be shown.
  std::vector<FaceRun> runs = fallback_.Runs(line, standard, &cluster_ends_);
  std::vector<Unit> units;
  units.reserve(cluster_ends_.size());
  std::string bytes;
  const AsciiMeasures& ascii = AsciiMeasuresOf(standard);
  auto cluster_end = cluster_ends_.begin();
  for (const FaceRun& run : runs) {
    for (size_t at = run.begin; at < run.end; ++cluster_end) {
      const size_t start = at;
      size_t after_base = start;
      const char32_t c = NextCodePoint(line, after_base);
      at = *cluster_end;  // the marks after a character go with it
      Unit unit;
      unit.end = at;
      unit.face = run.face;
      if (!run.face && at == start + 1 && c != '\t') {
        // An ASCII character alone, as most between the words of any script are.
        unit.width = ascii.width[c];
        unit.counted = ascii.counted[c];
        unit.break_after = IsWrapBreakCharacter(static_cast<char>(c));
      } else if (!run.face) {
        // In the standard font: its bytes, "?" for a character that nothing shows.
        bytes.clear();
        for (size_t k = start; k < at;) {
          const int byte = Windows1252ByteOf(NextCodePoint(line, k));
          bytes += static_cast<char>(byte >= 0 ? byte : '?');
        }
        unit.width = standard.Width(bytes);
        unit.counted = standard.EncodedLength(bytes);
        unit.break_after = bytes.size() == 1 && IsWrapBreakCharacter(bytes[0]);
        unit.tab = bytes == "\t";
        unit.soft_hyphen = bytes == "\xAD";
        if (unit.tab || unit.soft_hyphen) unit.width = 0;
        unit.break_after = unit.break_after || unit.soft_hyphen;
      }
      // A character in an embedded face stands only in a line beyond Windows-1252, whose
      // breaks the line breaker gives below.
      units.push_back(unit);
    }
  }
  // The pieces of the line are drawn in the faces that it was measured in.
  fallback_.KeepLineRuns(line, standard, std::move(runs));
  struct Dropper {
    FallbackFonts& fallback;
    ~Dropper() { fallback.DropLineRuns(); }
  } dropper{fallback_};
  if (script_breaks) {
    // A line beyond Windows-1252 breaks where its scripts' rules allow: the Unicode algorithm
    // with dictionaries, in place of the break characters.
    const std::vector<size_t> opportunities = breaker_.Opportunities(line);
    size_t next = 0;
    for (Unit& unit : units) {
      while (next < opportunities.size() && opportunities[next] < unit.end) ++next;
      unit.break_after = unit.soft_hyphen || unit.tab ||
                         (next < opportunities.size() && opportunities[next] == unit.end);
    }
  }
  MeasureFaceRuns(line, units);
  // Tab stops stand every eight blanks of the font, from the line's start.
  const int64_t stop = std::max<int64_t>(1, 8 * standard.Width(" "));
  const int64_t hyphen = standard.Width("\xAD");
  const bool right_to_left = fallback_.ParagraphRightToLeft();
  auto blank = [&](size_t k) {
    const size_t begin = k == 0 ? 0 : units[k - 1].end;
    return units[k].end == begin + 1 && line[begin] == ' ';
  };
  auto show = [&](size_t from, size_t to) {
    // A right-to-left paragraph's lines stand at the right margin, without the blanks where
    // they broke.
    double shift = 0;
    if (right_to_left) {
      while (from > 0 && from < to && blank(from)) ++from;
      while (to > from && blank(to - 1)) --to;
      int64_t width = 0;
      for (size_t k = from; k < to; ++k) width += units[k].width;
      shift = static_cast<double>(g.PageWidth - g.LeftMarginPt - cursor_.LineStart()) -
              static_cast<double>(width) * g.FontSize.ToDouble() / 1000.0;
    }
    const size_t begin = from == 0 ? 0 : units[from - 1].end;
    const size_t finish = to == 0 ? 0 : units[to - 1].end;
    cursor_.AdvanceLine();
    std::string_view shown = line.substr(begin, finish - begin);
    // A soft hyphen shows only at the end, where the line breaks after it.
    std::string without;
    if (shown.find(kSoftHyphenUtf8) != std::string_view::npos) {
      const bool last = shown.size() >= 2 && shown.substr(shown.size() - 2) == kSoftHyphenUtf8;
      without = ReplaceAll(shown.substr(0, shown.size() - (last ? 2 : 0)), kSoftHyphenUtf8, "",
                           CompareMode::kExact);
      if (last) without += kSoftHyphenUtf8;
      shown = without;
    }
    if (shift <= 0) {
      ShowMarkedText(writer_.page(), shown, g.UseTextFormating, TextStart::kNextLine, &fallback_);
      return;
    }
    PageContent& page = writer_.page();
    page.ShowOnNextLine("");
    page.ShiftLine(shift);
    ShowMarkedText(page, shown, g.UseTextFormating, TextStart::kHere, &fallback_);
    page.ShiftLine(-shift);
  };
  size_t first = 0;
  size_t counted_rest = 0;
  for (const Unit& unit : units) counted_rest += unit.counted;
  std::vector<int64_t> widths;  // of the piece's first k units, at k
  for (;;) {
    // The units that fit: as many as the room between the margins holds, looking while fewer
    // than the wrap width are counted; at least one.
    size_t taken = 0, counted = 0;
    int64_t sum = 0;
    widths.assign(1, 0);
    while (first + taken < units.size() && counted < width + 1) {
      const Unit& unit = units[first + taken];
      sum += unit.tab ? stop - sum % stop : unit.width;
      if (sum > g.LineWidthLimit && taken > 0) break;
      counted += unit.counted;
      ++taken;
      widths.push_back(sum);
      if (sum > g.LineWidthLimit) break;
    }
    if (first == units.size() || (counted_rest <= width && first + taken == units.size())) break;
    const size_t piece = std::min(width, counted);
    if (counted > piece && taken > 1) {
      counted -= units[first + taken - 1].counted;
      --taken;
    }
    size_t cut = taken, cut_counted = counted;
    size_t at = taken, counted_at = counted;
    // A break after a soft hyphen counts only where the hyphen it then shows fits too.
    auto breaks_after = [&](size_t k) {
      const Unit& unit = units[first + k - 1];
      return unit.break_after && (!unit.soft_hyphen || widths[k] + hyphen <= g.LineWidthLimit);
    };
    while (at > 0 && !breaks_after(at)) {
      counted_at -= units[first + at - 1].counted;
      --at;
    }
    // A Windows-1252 line breaks at a break character in the piece's second half; a line of
    // other scripts at its last opportunity, wherever it stands (a word is never cut while one
    // is there).
    if (at > 0 && (script_breaks || counted_at >= piece / 2)) {
      cut = at;
      cut_counted = counted_at;
    }
    show(first, first + cut);
    first += cut;
    counted_rest -= cut_counted;
    if (cursor_.Line() >= g.LinesPerPage) PageBreak();
  }
  show(first, units.size());
}

}  // namespace vellumox
