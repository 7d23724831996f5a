// The markup path of line layout: elements that switch font, size and colour, tab tags that
// move the text, and image tags handed to the images part.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "layout/image_placer.h"
#include "layout/page_cursor.h"
#include "writer/document_writer.h"

namespace vellumox {

// The bounds of what a tag may ask for, so that every number written into a page stays within
// what PDF readers hold (real numbers up to 32767): a position, and the side of a picture
// (200 inches). A font size is at most the page's height.
inline constexpr int32_t kMaxPosition = 32767;
inline constexpr int32_t kMaxPictureSide = 14400;

// Tells the user, once per document, that a tag asked for a size or position beyond these
// bounds and was kept within them.
void WarnOutOfBounds(DocumentWriter& writer, std::string_view tag);

// value kept within [low, high]; *bounded is set when that changed it.
int32_t Bounded(double value, int32_t low, int32_t high, bool* bounded);

class FallbackFonts;
class LineBreaker;
struct FontRuns;

// The runs that show a UTF-8 text of one direction, appended to runs (all to be shown where the
// pen stands): in the standard font where Windows-1252 has its characters, in the faces of
// fallback where not; right to left, the font runs in reverse, a standard font's text reversed
// and a face's shaped right to left. The texts are kept in store.
void AppendDirectionRun(std::string_view text, bool right_to_left, const Font& standard,
                        FallbackFonts& fallback, std::vector<TextRun>& runs,
                        std::deque<FontRuns>& store);

// Shows a text as runs on one content line: its inline marks start new text lines, and the last
// piece starts as last says. unicode: the text is UTF-8, shown in the standard font in force
// where Windows-1252 has its characters and in these faces where not (nullptr: the text is
// Windows-1252).
void ShowMarkedText(PageContent& page, std::string_view text, bool use_text_formatting,
                    TextStart last, FallbackFonts* unicode = nullptr);

// One element's look.
struct ElementStyle {
  int FontPosition = 0;  // 0: the document font; 1 to 20: the font table's
  std::string color;
  float SizeScale = 1;
};

class MarkupInterpreter {
 public:
  MarkupInterpreter(DocumentWriter& writer, PageCursor& cursor)
      : writer_(writer), cursor_(cursor) {}
  void SetImagePlacer(ImagePlacer* placer) { placer_ = placer; }
  // Where lines beyond Windows-1252 may break (the Unicode rules).
  void SetLineBreaker(LineBreaker* breaker) { breaker_ = breaker; }
  // What ends the page and starts the next, when a wrapped line reaches the page's end.
  void SetPageBreak(std::function<void()> page_break) { page_break_ = std::move(page_break); }

  // Lays out one line that holds markup. Every line is consumed in bounded time,
  // whatever its tags. unicode: the line is UTF-8, its texts shown through these faces.
  //
  // Text that would pass the right margin goes on to the next text line: a text (between tags,
  // or an element's content) is cut after the last blank whose text before it fits, measured in
  // its own font and size from where the line has got to; when no blank fits, and the line
  // already holds something, the text starts the next line; at a line's start a word wider
  // than the line is cut after the last whole character that fits (at least one). The font,
  // size and colour in force carry on to the next line. A line whose texts all fit is written
  // exactly as without this rule.
  void LayoutMarkupLine(std::string_view line, FallbackFonts* unicode = nullptr);

  // Reads a tag (the text between "<" and ">") into a style; tab and image tags also do
  // their own work on the page here.
  ElementStyle ApplyTag(std::string_view tag);

 private:
  void ApplyFontTag(std::string_view tag, ElementStyle& style);
  void ApplyTabTag(std::string_view tag);
  int BoldFont() const;
  int ItalicFont() const;
  const Font& FontAt(int position) const;
  // Text shown where the previous run ended, its tabs moving on to their stops.
  void ShowHere(std::string_view text);
  // The same for text without tabs or soft hyphens.
  void ShowText(std::string_view text);
  // The pen moves on to the next tab stop (on the next text line when none is left).
  void MoveToTabStop();
  // The pieces of a text that does not fit, each cut where the line is full.
  void ShowWrapped(const std::vector<std::string>& pieces);
  // How many bytes of text fit in room points: the whole, up to the last blank that fits
  // (blanks after it included), or whole characters when at_line_start and no blank fits; 0
  // when nothing fits and the line holds something already.
  size_t FittingPrefix(std::string_view text, double room, bool at_line_start);
  // The same for text of one byte a character in one standard font.
  size_t FittingBytes(std::string_view text, double room, bool at_line_start);
  // The width of a text in points, in the font and size in force.
  double TextWidth(std::string_view text);
  // The width of a UTF-8 text in points, in a font and size.
  double WidthIn(const Font& font, double size, std::string_view text) const;
  // A UTF-8 line with right-to-left text: gathered whole, then laid out by LayOutParagraph.
  void LayoutBidiMarkupLine(std::string_view line);
  // Whether text is wider than room points, measured only as far as that; when not, its width
  // is added to width.
  bool WiderThan(std::string_view text, double room, double& width);
  // Moves on to the next text line within a wrapped markup line, breaking the page where it is
  // full (the font and colour in force chosen again on the new page).
  void ContinueOnNextLine();
  // The right edge of the text in points.
  double RightEdge() const;

  DocumentWriter& writer_;
  PageCursor& cursor_;
  FallbackFonts* unicode_ = nullptr;  // the line being laid out is UTF-8
  LineBreaker* breaker_ = nullptr;
  ImagePlacer* placer_ = nullptr;
  std::function<void()> page_break_;
  // The font, size and colour in force, and how far right the text has got, in points.
  const Font* font_ = nullptr;
  double size_ = 0;
  std::string colour_;
  double x_ = 0;
};

}  // namespace vellumox
