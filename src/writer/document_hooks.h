// The two places where the writer hands work to other parts of the converter: the pictures of
// a document, and the layout of its text lines. The writer defines these; the images and the
// layout implement them, so the writer knows nothing of either.
#pragma once

#include <string>
#include <string_view>

namespace vellumox {

class ImageHooks {
 public:
  virtual ~ImageHooks() = default;
  // Before the document starts: find the pictures that the input names.
  virtual void CollectImages(const std::string& filename) = 0;
  // After the document: forget the pictures and their temporary files.
  virtual void ResetImages() = 0;
  // Inside the shared resource dictionary: the /XObject entries.
  virtual void WriteImageResources() = 0;
  // Right after the resource dictionary: one image object per picture.
  virtual void WriteImageObjects() = 0;
  // At the start of every page: a new, empty list of placements.
  virtual void StartPagePlacements() = 0;
  // At the end of a page, after its contents array: placement i (1-based) of the page.
  virtual void WritePlacementStream(int i) = 0;
};

class LinePrinter {
 public:
  virtual ~LinePrinter() = default;
  // Places one input line (Windows-1252, without its line end) on the current page.
  virtual void PrintLine(std::string_view line) = 0;
};

}  // namespace vellumox
