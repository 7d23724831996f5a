// Reading the headers of picture files without decoding them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

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

// True when a JPEG file may be embedded as it is: a Huffman-coded baseline, extended or
// progressive frame with one or three components, and an end-of-image marker near the end of
// the file (so it is not cut short).
bool IsEmbeddableJpeg(const std::string& path, JpegFrame* frame = nullptr);

}  // namespace vellumox
