// What the writer needs to know of a document's pictures: each embedded picture's JPEG, and
// where a page draws one.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vellumox {

// How a picture kept lossless stores its samples beyond its device colour space.
struct LosslessForm {
  int bits = 8;         // bits a sample: 1, 2, 4 or 8
  std::string palette;  // when not empty: /Indexed over the device space, its entries' samples
  // /Mask [ c c ... ]: the one colour (an entry, when indexed) that is transparent.
  std::vector<int> color_key;
  // A stencil /Mask: a zlib stream of PNG-predicted 1-bit rows, 1 where the picture is clear.
  std::string mask_path;
};

// A picture ready to be embedded: its JPEG, and what its image object says of it.
struct ImageObject {
  std::string name;       // its resource name: "im" + its position in the document's list
  std::string source;     // the picture as the input names it, for messages
  std::string jpeg_path;  // the JPEG (or zlib stream) whose bytes become the stream
  bool lossless = false;  // a zlib stream of PNG-predicted rows: /FlateDecode, not /DCTDecode
  int32_t width = 0;      // pixels, as the JPEG holds them
  int32_t height = 0;
  int components = 3;       // 1 /DeviceGray, 3 /DeviceRGB, 4 /DeviceCMYK
  bool inverted = false;    // CMYK stored inverted (Adobe): /Decode [1 0 1 0 1 0 1 0]
  std::string icc_profile;  // when not empty, the colour space is this profile (/ICCBased)
  LosslessForm form;        // of a lossless picture
};

// The pictures of a document as the writer embeds them, one after another: each is made ready
// when its turn comes and may be let go once its object is written, so that the JPEGs waiting
// on the disk are those of a few pictures, however many the document shows.
class PictureSource {
 public:
  // The resource names of the pictures that the document may embed, in order.
  virtual const std::vector<std::string>& Names() const = 0;
  // Picture k of Names(), once it is ready; false when it gave no JPEG after all (its object
  // then draws nothing, so that every name still names an object) or the document has failed.
  virtual bool Take(size_t k, ImageObject& image) = 0;
  // Picture k is in the PDF: its JPEG is needed no more.
  virtual void Embedded(size_t k) = 0;

 protected:
  ~PictureSource() = default;
};

// Where a picture is drawn on the current page, in points: the box of the picture standing
// upright.
struct PlacementRecord {
  std::string name;  // the picture's resource name
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
  int orientation = 1;  // how the picture's stored pixels stand (EXIF 1 to 8): the page turns them
};

// The matrix (six numbers, "a b c d e f") that draws the image's unit square into the
// placement's box, turning and mirroring the stored pixels as their orientation asks, so that
// the picture stands upright: "width 0 0 height x y" for a picture stored upright.
std::string PlacementMatrix(const PlacementRecord& placement);

}  // namespace vellumox
