// The markup path of line layout: elements that switch font, size and colour, tab tags that
// move the text, and image tags handed to the images part.
#pragma once

#include <string>
#include <string_view>

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

  // Lays out one line that holds markup. Every line is consumed in bounded time,
  // whatever its tags. unicode: the line is UTF-8, its texts shown through these faces.
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
  // Text shown where the previous run ended.
  void ShowHere(std::string_view text);

  DocumentWriter& writer_;
  PageCursor& cursor_;
  FallbackFonts* unicode_ = nullptr;  // the line being laid out is UTF-8
  ImagePlacer* placer_ = nullptr;
};

}  // namespace vellumox
