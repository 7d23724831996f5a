// Line printing: places each input line on the page, breaking pages and wrapping long lines at
// break characters, then shows each piece as plain text or through the markup interpreter. It
// works on the user's text; the wrap counts the string bytes that the font says a text takes.
// The page cursor is its own.
#pragma once

#include <optional>
#include <string_view>

#include "layout/markup_interpreter.h"
#include "layout/page_cursor.h"
#include "writer/document_writer.h"

namespace vellumox {

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

  // The document's first page.
  void StartDocument();
  // One input line (Windows-1252, no line end).
  void PrintLine(std::string_view line);
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
  void LayoutPlain(std::string_view text);
  // Lays out a line that is too long for one text line, piece by piece.
  void Wrap(std::string_view line, size_t width, size_t encoded_length);

  DocumentWriter& writer_;
  PageCursor cursor_;
  MarkupInterpreter markup_;
  std::optional<int32_t> wrap_width_;
};

}  // namespace vellumox
