// What the writer needs to know of a document's pictures: each embedded picture's JPEG, and
// where a page draws one.
#pragma once

#include <cstdint>
#include <string>
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

}  // namespace vellumox
