// Line printing: places each input line on the page, breaking pages and wrapping long lines at
// break characters, then shows each piece as plain text or through the markup interpreter. It
// works on the user's text; the wrap counts the string bytes that the font says a text takes.
// The page cursor is its own.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "layout/fallback_fonts.h"
#include "layout/line_breaks.h"
#include "layout/markup_interpreter.h"
#include "layout/page_cursor.h"
#include "layout/text_rules.h"
#include "writer/document_writer.h"

namespace vellumox {

// UTF-8 text with each combining mark put together with the character before it where Unicode
// has the two as one character (the composition of normalisation form C).
std::string ComposeMarks(std::string_view utf8);

class LineLayout {
 public:
  // Below this many characters the wrap width that the page figures give means nothing (large
  // text on wide margins gives a few characters, or fewer than none): pieces are then as long
  // as their glyphs fit between the margins.
  static constexpr int32_t kMinimumWidth = 10;

  explicit LineLayout(DocumentWriter& writer);
  LineLayout(const LineLayout&) = delete;
  LineLayout& operator=(const LineLayout&) = delete;

  void SetImagePlacer(ImagePlacer* placer) { markup_.SetImagePlacer(placer); }
  // Narrows or widens the wrap width that the page geometry gives (for tests and fuzzing).
  void SetWrapWidth(int32_t chars) { wrap_width_ = chars; }

  // The document's first page. unicode_fonts: lines may show characters that Windows-1252
  // lacks, in embedded faces (the writer's frame was written for fonts to follow).
  void StartDocument(bool unicode_fonts = false);
  // One input line (Windows-1252, no line end).
  void PrintLine(std::string_view line);
  // One input line of UTF-8 (no line end): in Windows-1252 where it has every character (as
  // PrintLine), else with embedded faces for the rest; without unicode_fonts such a line only
  // makes NeedsUnicodeFonts() true, and the document must start again with them.
  void PrintUtf8Line(std::string_view line);
  bool NeedsUnicodeFonts() const { return needs_unicode_fonts_; }
  // Whether PrintUtf8Line would need embedded faces for this line.
  static bool LineNeedsUnicodeFonts(std::string_view line, bool use_text_formatting);
  // What the document could not show, told once at its end (empty when nothing is missing).
  std::string MissingCharactersWarning() const { return fallback_.MissingWarning(); }
  int MissingCharacterCount() const { return static_cast<int>(fallback_.Missing().size()); }
  // One line or wrapped piece: the markup path when it holds markup, else plain.
  void LayoutLine(std::string_view text);
  // Ends the page and starts the next.
  void PageBreak();
  // Ends the last page.
  void EndDocument() { writer_.EndPage(); }

  PageCursor& cursor() { return cursor_; }
  const PageCursor& cursor() const { return cursor_; }
  MarkupInterpreter& markup() { return markup_; }

 private:
  void StartPage();
  // The page breaks before a line; true when the line was a break of its own and is done.
  bool BreakBefore(std::string_view line, const LineSurvey& survey);
  void LayoutPlain(std::string_view text);
  // A UTF-8 line with characters that Windows-1252 lacks.
  void LayoutUtf8(std::string_view line);
  // script_breaks: the line holds text beyond Windows-1252 and breaks by the Unicode rules
  // (line_breaks.h); else at the Windows-1252 break characters, as Wrap.
  void WrapUtf8(std::string_view line, size_t width, bool script_breaks);
  // Lays out a line that is too long for one text line, piece by piece.
  void Wrap(std::string_view line, size_t width, size_t encoded_length);

  // The line in Windows-1252 into out: as it is, or in normalisation form C, or with "?" for
  // characters that only its tags hold; false when Windows-1252 lacks some of its drawn
  // characters, and composed is then the line with its marks put together.
  static bool InWindows1252(std::string_view line, bool use_text_formatting, std::string& out,
                            std::string& composed);

  DocumentWriter& writer_;
  PageCursor cursor_;
  MarkupInterpreter markup_;
  FallbackFonts fallback_;
  LineBreaker breaker_;
  std::optional<int32_t> wrap_width_;
  bool unicode_fonts_ = false;
  bool needs_unicode_fonts_ = false;
  std::string converted_;
  std::vector<size_t> cluster_ends_;  // of the line being wrapped
  // The advance and string bytes of each ASCII character alone in a standard font.
  struct AsciiMeasures {
    const Font* font = nullptr;
    std::array<int64_t, 128> width{};
    std::array<size_t, 128> counted{};
  };
  AsciiMeasures ascii_;
  const AsciiMeasures& AsciiMeasuresOf(const Font& standard);
};

}  // namespace vellumox
