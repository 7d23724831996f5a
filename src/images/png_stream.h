// A PNG's own compressed rows taken as they are: its IDAT chunks together are a zlib stream of
// rows filtered with the PNG predictors, which a PDF reads with /FlateDecode and
// /DecodeParms << /Predictor 15 >> when the rows need nothing done to them (no interlacing, no
// transparency, 8 bits a sample or fewer).
#pragma once

#include <string>

#include "images/lossless_picture.h"

namespace vellumox {

enum class PngStreamCopy {
  kCopied,       // the stream is at path, the picture's form in *picture
  kNotSuitable,  // the rows need decoding (or the PNG is broken: its decoder says how)
  kWriteFailed,  // the copy could not be written: *error, *write_error
};

// Copies the PNG's compressed rows to path when they can go into a PDF as they are and when
// that is worth it: when they hold noise (a photo) that deflating again would take long over
// for next to nothing, that is when they are more than an eighth of the rows they give.
// The stream is inflated on the way, so that a damaged one is never copied.
PngStreamCopy CopyPngStream(const std::string& png_path, const std::string& path,
                            LosslessPicture* picture, std::string* error, int* write_error);

}  // namespace vellumox
