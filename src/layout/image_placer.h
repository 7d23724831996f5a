// How the markup hands an image tag to the images part, which implements this.
#pragma once

#include <string_view>

namespace vellumox {

class ImagePlacer {
 public:
  virtual ~ImagePlacer() = default;
  // tag: the text between "<" and ">" of a tag whose name starts with "img".
  virtual void PlaceImage(std::string_view tag) = 0;
};

}  // namespace vellumox
