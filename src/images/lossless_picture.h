// Pictures kept lossless: their rows filtered with the PNG predictors and deflated into a zlib
// stream, which a PDF reads with /FlateDecode and /DecodeParms << /Predictor 15 >>.
#pragma once

#include <string>

#include "images/image_codec.h"

namespace vellumox {

// The PNG filter of one row (0 none, 1 sub, 2 up, 3 average, 4 Paeth) that PNG encoders choose:
// the one whose filtered bytes, taken as signed, have the least sum of absolute values. out
// receives the filter's number and the filtered row. bpp is the bytes of one pixel; previous is
// the row above (all zero for the first).
void FilterRow(const uint8_t* row, const uint8_t* previous, size_t size, int bpp, std::string& out);

// Writes the rows at path as one zlib stream of predicted rows, reading and deflating them a
// few at a time, so memory does not grow with the picture. False with a reason, and the
// system's error number when the file could not be written.
bool WriteLosslessPicture(PixelRows& rows, const std::string& path, std::string* error,
                          int* write_error);

}  // namespace vellumox
