// What becomes of each picture of a document while it is converted. Told on the thread that
// runs the conversion, in the order in which the document names the pictures.
#pragma once

#include <string>

namespace vellumox {

class PictureEvents {
 public:
  virtual ~PictureEvents() = default;
  // The document's pictures are about to be converted: count of them, each told below.
  virtual void PicturesToConvert(int count) { (void)count; }
  // The picture was converted and will be embedded.
  virtual void PictureConverted(const std::string& picture) { (void)picture; }
  // The picture's partial transparency was composed onto the page colour (told once a
  // document, for its first such picture, after PictureConverted).
  virtual void PictureComposed(const std::string& picture) { (void)picture; }
  // The picture cannot be embedded; reason says why ("not a JPEG file", ...).
  virtual void PictureLeftOut(const std::string& picture, const std::string& reason) {
    (void)picture;
    (void)reason;
  }
};

}  // namespace vellumox
