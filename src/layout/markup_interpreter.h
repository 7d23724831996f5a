// The markup path of line layout: elements that switch font, size and colour, tab tags that
// move the text, and image tags handed to the images part.
#pragma once

#include <string>
#include <string_view>

#include "layout/image_placer.h"
#include "writer/document_writer.h"

namespace vellumox {

// One element's look.
struct ElementStyle {
  std::string FontResource = "F0";
  std::string color;
  float SizeScale = 1;
};

class MarkupInterpreter {
 public:
  explicit MarkupInterpreter(DocumentWriter& writer) : writer_(writer) {}
  void SetImagePlacer(ImagePlacer* placer) { placer_ = placer; }

  // Lays out one escaped line that holds markup. Every line is consumed in bounded time,
  // whatever its tags.
  void LayoutMarkupLine(std::string_view line);

  // Reads a tag (escaped text between "<" and ">") into a style; tab and image tags also do
  // their own work on the page here.
  ElementStyle ApplyTag(std::string_view tag);

 private:
  void ApplyFontTag(std::string_view tag, ElementStyle& style);
  void ApplyTabTag(std::string_view tag);
  std::string BoldFont() const;
  std::string ItalicFont() const;
  void WriteText(std::string_view prefix, std::string_view text, std::string_view suffix);

  DocumentWriter& writer_;
  ImagePlacer* placer_ = nullptr;
};

}  // namespace vellumox
