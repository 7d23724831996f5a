// Line printing: places each input line on the page, breaking pages, escaping the text and
// wrapping long lines at break characters, then writes each piece as plain text or through the
// markup interpreter.
#pragma once

#include <string>
#include <string_view>

#include "layout/markup_interpreter.h"
#include "writer/document_hooks.h"
#include "writer/document_writer.h"

namespace vellumox {

class LineLayout : public LinePrinter {
 public:
  // Below this many characters the wrap width that the page figures give means nothing (large
  // text on wide margins gives a few characters, or fewer than none): pieces are then as long
  // as their glyphs fit between the margins.
  static constexpr int32_t kMinimumWidth = 10;

  explicit LineLayout(DocumentWriter& writer);
  LineLayout(const LineLayout&) = delete;
  LineLayout& operator=(const LineLayout&) = delete;

  void SetImagePlacer(ImagePlacer* placer) { markup_.SetImagePlacer(placer); }

  // One input line (Windows-1252, no line end).
  void PrintLine(std::string_view line) override;
  // One escaped line or wrapped piece: the markup path when it holds markup, else plain.
  void LayoutLine(std::string_view text);

  MarkupInterpreter& markup() { return markup_; }

 private:
  void LayoutPlain(std::string_view text);

  DocumentWriter& writer_;
  MarkupInterpreter markup_;
  std::string escaped_;
};

}  // namespace vellumox
