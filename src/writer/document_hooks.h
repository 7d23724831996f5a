// The two places where the writer hands work to other parts of the converter: the pictures of
// a document, and the layout of its text lines. The writer defines these; the images and the
// layout implement them, so the writer knows nothing of either.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vellumox {

// A picture ready to be embedded: its JPEG, and what its image object says of it.
struct ImageObject {
  std::string name;       // its resource name: "im" + its position in the document's list
  std::string source;     // the picture as the input names it, for messages
  std::string jpeg_path;  // the JPEG whose bytes become the stream
  int32_t width = 0;      // pixels, as the JPEG holds them
  int32_t height = 0;
  bool grey = false;  // /DeviceGray, else /DeviceRGB
};

// Where a picture is drawn on the current page, in points.
struct PlacementRecord {
  std::string name;  // the picture's resource name
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
};

class ImageHooks {
 public:
  virtual ~ImageHooks() = default;
  // Before the document starts: find the pictures that the input names.
  virtual void CollectImages(const std::string& filename) = 0;
  // Before the shared resource dictionary: convert the pictures and hand back those that are
  // embedded, in document order. The writer gives each its object and resource entry.
  virtual std::vector<ImageObject> PrepareImages() = 0;
  // After the document: forget the pictures and their temporary files.
  virtual void ResetImages() = 0;
};

class LinePrinter {
 public:
  virtual ~LinePrinter() = default;
  // Places one input line (Windows-1252, without its line end) on the current page.
  virtual void PrintLine(std::string_view line) = 0;
};

}  // namespace vellumox
