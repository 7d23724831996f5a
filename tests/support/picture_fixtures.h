// Sample pictures of every accepted format, made by the tests themselves: JPEG and PNG through
// their libraries (any size, row by row), the other raster formats through ImageMagick, RLE
// bitmaps and metafiles byte by byte.
#pragma once

#include <string>

#include "images/image_codec.h"

namespace vellumox::test {

// One library codec for all the tests of a program.
ImageCodec& SharedCodec();

enum class Pixels { kGrey, kRgb, kRgba, kCmyk, kPalette };

// A JPEG with a gradient that differs with seed; kCmyk writes an Adobe (inverted) CMYK JPEG.
void MakeJpeg(const std::string& path, int width, int height, Pixels pixels = Pixels::kRgb,
              int quality = 90, bool progressive = false, int seed = 0);
// How a JPEG of MakeJpeg is coded, beyond its quality.
struct JpegCoding {
  int quality = 90;
  bool progressive = false;
  bool arithmetic = false;
  std::string icc_profile;  // written in APP2 chunks of at most chunk_bytes
  size_t chunk_bytes = 65519;
  int orientation = 0;  // an EXIF orientation to write (the pixels are not turned)
};
void MakeJpeg(const std::string& path, int width, int height, Pixels pixels,
              const JpegCoding& coding, int seed = 0);
// A small valid ICC profile (a monitor profile with sRGB's primaries and a gamma of 2.2, or a
// grey one), of ICC version 2 or 4; padding bytes make it that much longer.
std::string MakeIccProfile(int version, bool grey = false, size_t padding = 0);
// A JPEG that shows, upright, upright_width x upright_height pixels in four quarters: red and
// green above, blue and white below; its pixels are stored turned as the EXIF orientation
// (1 to 8) says, and the orientation written into an EXIF segment (0: no EXIF at all).
void MakeOrientedJpeg(const std::string& path, int upright_width, int upright_height,
                      int orientation);
void MakePng(const std::string& path, int width, int height, Pixels pixels = Pixels::kRgb,
             bool interlaced = false);
// PNGs with transparency, each in the form its name gives. The clear part is the middle
// rectangle (a quarter of each side in from the edges); elsewhere a pattern whose blue is 200,
// so that it never holds the key (7, 7, 7) nor the yellow page (255, 230, 0).
enum class Clear {
  kPaletteOneClear,     // 16 entries, the last clear (tRNS)
  kPaletteTwoClear,     // 16 entries, the last two clear: the middle's left and right halves
  kKeyedRgb,            // RGB with the key (7, 7, 7) in tRNS
  kBinaryRgba,          // alpha 0 in the middle (its colour there anything), 255 elsewhere
  kBinaryRgbaOnYellow,  // the same with the first row an opaque yellow (255, 230, 0)
  kPartialRgba,         // alpha from 0 at the left to 255 at the right
  kPartialGreyAlpha,    // grey with alpha from 0 at the left to 255 at the right
  kBlackAndWhite,       // 1-bit grey, no transparency: a checkerboard of 4-pixel squares
};
void MakeClearPng(const std::string& path, int width, int height, Clear kind);
// Through ImageMagick: "GIF", "BMP", "ICO", "TIFF", "TGA", "PCX", "PSD", "JPEG", "PNG".
void MakeWithMagick(const std::string& path, const std::string& coder, int width, int height,
                    bool grey = false);
// An 8-bit bitmap compressed with run lengths (BI_RLE8).
void MakeRleBitmap(const std::string& path, int width, int height);
// A placeable WMF of width_inches x height_inches (1440 units per inch) with a filled rectangle,
// the text in Helvetica when text is given, and polylines of 50 points each (100,000 of them
// make a 20 MB file that no decoder draws within reasonable limits).
void MakeWmf(const std::string& path, double width_inches, double height_inches,
             const std::string& text = "", int polylines = 0);
// An EMF whose frame is width_mm x height_mm, with a filled rectangle, drawn rectangles times.
void MakeEmf(const std::string& path, double width_mm, double height_mm, int rectangles = 1);

}  // namespace vellumox::test
