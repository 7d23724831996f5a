// Reading the headers of picture files without decoding them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "images/image_codec.h"

namespace vellumox {

// high x 256 + low.
int32_t MakeWord(uint8_t low, uint8_t high);

// Reads the header of a PNG, GIF, BMP or JPEG file from its first 64 KiB. Sets width, height,
// bits (per pixel; for a JPEG 8 x components) and kind (3 PNG, 1 GIF, 4 BMP, 2 JPEG, 0 none) and
// returns bits. Never fails: any bytes, and a file that cannot be read, give what they give (0).
uint8_t ReadImageHeader(const std::string& path, int32_t& width, int32_t& height, uint8_t& bits,
                        int32_t& kind);
// The same over bytes already in memory (the file's first 64 KiB).
uint8_t ReadImageHeader(std::string_view head, int32_t& width, int32_t& height, uint8_t& bits,
                        int32_t& kind);

// The frame header of a JPEG file, found by walking its segments from the start.
struct JpegFrame {
  uint8_t marker = 0;  // 0xC0 baseline, 0xC1 extended, 0xC2 progressive, ...
  int width = 0;
  int height = 0;
  int components = 0;
};
std::optional<JpegFrame> ReadJpegFrame(const std::string& path);

// The EXIF orientation of a JPEG (1 to 8: how its stored pixels must be turned or mirrored to
// stand upright), or 0 when it has none that can be read.
int ReadExifOrientation(const std::string& path);
int ReadExifOrientation(std::string_view head);

// Drawn metafiles are held whole; they may not be larger than this many pixels.
inline constexpr int64_t kMaxMetafilePixels = int64_t{64} << 20;

// The natural size of an EMF at 96 dots per inch, from its frame (a fixed header of 88 bytes);
// nullopt when it is not an EMF or its size is out of bounds.
std::optional<PixelSize> ReadEmfSize(const std::string& path);

// What a JPEG says of itself in the segments before its first scan, and whether it ends.
struct JpegTraits {
  JpegFrame frame;          // marker 0 when it has no frame header
  int precision = 0;        // bits a sample
  bool jfif = false;        // an APP0 "JFIF" segment: three components are YCbCr
  bool adobe = false;       // an APP14 "Adobe" segment: four components are stored inverted
  bool rgb_ids = false;     // three components named 'R', 'G' and 'B'
  int orientation = 0;      // the EXIF orientation, 0 for none
  std::string icc_profile;  // its ICC profile, whole; empty when it has none or only part of one
  bool ends = false;        // an end-of-image marker near the end of the file (not cut short)
};
std::optional<JpegTraits> ReadJpegTraits(const std::string& path);

// True when a JPEG can go into a PDF as it is and be shown as it looks: a Huffman-coded
// baseline, extended or progressive frame, 8 bits a sample, one, three or four components,
// not cut short, and colours that a PDF reader takes as libjpeg does (three components stored
// as RGB without an Adobe segment would be read as YCbCr).
bool CanEmbedAsItIs(const JpegTraits& traits);

// Whether an ICC profile can stand as the colour space of a picture of that many components in
// a PDF 1.3 (/ICCBased): whole, of version 2, and of the picture's colour space (grey, RGB or
// CMYK). A version 4 profile, or one of another space, is not.
bool IccProfileFitsPdf13(std::string_view profile, int components);

}  // namespace vellumox
