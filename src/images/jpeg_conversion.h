// Turning one picture of the document into the JPEG that is embedded.
#pragma once

#include <string>

#include "images/image_codec.h"

namespace vellumox {

struct JpegOptions {
  int quality = 100;       // the JPEG quality setting, 1 to 100
  bool keep_jpeg = false;  // "Do not recompress JPG files"
};

struct JpegFile {
  bool ok = false;
  std::string path;  // the JPEG to embed: a file in the private folder, or the picture itself
  int width = 0;     // pixels, as the JPEG holds them
  int height = 0;
  std::string error;    // why there is none
  int write_error = 0;  // the system's error number when the JPEG could not be written
};

// Why a picture cannot be converted at all, told before any decoding (it is missing, empty, not
// a regular file, not of a type that its bytes show, or of a type that cannot be read here);
// empty when it may be.
std::string WhyNotConvertible(const std::string& path, const ImageCodec& codec);

// Decodes a picture standing upright: a JPEG with an EXIF orientation other than 1 is turned and
// mirrored as it asks. nullptr with a reason on failure.
std::unique_ptr<PixelRows> DecodeUpright(const std::string& path, ImageFormat format,
                                         ImageCodec& codec, const std::string& temp_folder,
                                         std::string* error);
// The same with the JPEG's orientation already read (0 for none).
std::unique_ptr<PixelRows> DecodeUpright(const std::string& path, ImageFormat format,
                                         int orientation, ImageCodec& codec,
                                         const std::string& temp_folder, std::string* error);

// A ".jpg" that is a JPEG a PDF reader can show (Huffman-coded, one or three components, not
// cut short) is used as it is when keep_jpeg is set; every other picture is decoded by the
// type its bytes show and encoded as a baseline JPEG at jpeg_path, upright (a JPEG whose EXIF
// orientation is not 1 is never used as it is). A missing, empty, unreadable
// or broken picture gives no JPEG.
JpegFile ConvertToJpeg(const std::string& path, ImageCodec& codec, const JpegOptions& options,
                       const std::string& jpeg_path, const std::string& temp_folder);

}  // namespace vellumox
