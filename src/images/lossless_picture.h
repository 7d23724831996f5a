// Pictures kept lossless: their rows filtered with the PNG predictors and deflated into a zlib
// stream, which a PDF reads with /FlateDecode and /DecodeParms << /Predictor 15 >>; a palette
// kept as /Indexed, black and white as 1 bit, and transparency that is all or nothing kept as a
// mask (PDF 1.3 has no soft masks).
#pragma once

#include <string>

#include "images/image_codec.h"
#include "writer/picture_objects.h"

namespace vellumox {

// The PNG filter of one row (0 none, 1 sub, 2 up, 3 average, 4 Paeth) that PNG encoders choose:
// the one whose filtered bytes, taken as signed, have the least sum of absolute values. out
// receives the filter's number and the filtered row. bpp is the bytes of one pixel (1 for
// samples of fewer than 8 bits); previous is the row above (all zero for the first).
void FilterRow(const uint8_t* row, const uint8_t* previous, size_t size, int bpp, std::string& out);

// A palette of red, green, blue triples as the lookup of an /Indexed colour space: a byte an
// entry over /DeviceGray when every entry is grey (*components 1), else the triples (3).
std::string IndexedLookup(const std::string& rgb, int* components);

// What a picture kept lossless became.
struct LosslessPicture {
  int width = 0;  // pixels
  int height = 0;
  int components = 3;     // of its device colour space: 1 grey, 3 RGB
  LosslessForm form;      // palette, bits, colour key or stencil mask
  bool composed = false;  // its partial transparency was composed onto the page colour
};

// Writes the rows at path as one zlib stream of predicted rows, reading and deflating them a
// few at a time, so memory does not grow with the picture. Transparency that is all or nothing
// becomes a colour key or a stencil mask (written at mask_path); any other is composed onto
// page_color, as are the clear parts' colours, so that a reader that ignores masks shows the
// page. False with a reason, and the system's error number when a file could not be written;
// nothing is left at path or mask_path then.
bool WriteLosslessPicture(PixelRows& rows, Rgb8 page_color, const std::string& path,
                          const std::string& mask_path, LosslessPicture* picture,
                          std::string* error, int* write_error);

}  // namespace vellumox
