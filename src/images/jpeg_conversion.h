// Turning one picture of the document into the JPEG that is embedded.
#pragma once

#include <string>

#include "images/image_codec.h"
#include "writer/picture_objects.h"

namespace vellumox {

struct JpegOptions {
  int quality = 100;       // the JPEG quality setting, 1 to 100
  bool keep_jpeg = false;  // "Do not recompress JPG files"
  // What partial transparency is composed onto in a picture kept lossless: the document's
  // background colour. Below the best quality transparent parts go onto white.
  Rgb8 page_color = kWhite8;
};

struct JpegFile {
  bool ok = false;
  std::string path;  // the JPEG to embed: a file in the private folder, or the picture itself
  int width = 0;     // pixels, as the JPEG holds them
  int height = 0;
  bool lossless = false;    // a zlib stream of PNG-predicted rows (/FlateDecode), not a JPEG
  int components = 3;       // 1 grey, 3 RGB, 4 CMYK
  bool inverted = false;    // CMYK stored inverted, as Adobe writes it
  int orientation = 1;      // how the stored pixels stand (EXIF 1 to 8): the page turns them
  std::string icc_profile;  // the colour profile that goes with it (version 2), or empty
  LosslessForm form;        // of a lossless picture: palette, bits, mask
  bool composed = false;    // its partial transparency was composed onto the page colour
  std::string error;        // why there is none
  int write_error = 0;      // the system's error number when the JPEG could not be written
  // What went wrong that is no fault of the picture and fails the document (memory ran out).
  std::string failure;

  // The picture as it stands upright on the page.
  bool Turned() const { return orientation >= 5; }
  int UprightWidth() const { return Turned() ? height : width; }
  int UprightHeight() const { return Turned() ? width : height; }
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

// At quality 100 a picture of another format is kept lossless: decoded, upright, and written as
// a zlib stream of predicted rows next to jpeg_path (".zlib" in place of its extension, and a
// stencil mask in ".mask" when its transparency needs one).
// A JPEG that a PDF reader shows as it looks (CanEmbedAsItIs) is used as it is at quality 100,
// and below it when keep_jpeg is set and its name is a JPEG's; its EXIF orientation is left to
// the page, and its colour profile goes with it when a PDF 1.3 takes it. Every other picture is
// decoded by the type its bytes show and encoded as a baseline JPEG at jpeg_path, upright, at
// the quality asked for. A missing, empty, unreadable or broken picture gives no JPEG.
JpegFile ConvertToJpeg(const std::string& path, ImageCodec& codec, const JpegOptions& options,
                       const std::string& jpeg_path, const std::string& temp_folder);

}  // namespace vellumox
