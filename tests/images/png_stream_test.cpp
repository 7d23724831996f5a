#include "images/png_stream.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>
#include <functional>
#include <random>

#include "support/test_support.h"

namespace vellumox {
namespace {

// A PNG written byte by byte: its rows unfiltered (filter 0, or `filter`) and deflated, in
// `pieces` IDAT chunks.
struct PngSpec {
  int width = 64, height = 32, depth = 8, color_type = 2;
  bool interlaced = false, transparent = false, noise = true;
  std::string palette;  // PLTE
  int pieces = 1;
  int filter = 0;
  size_t cut = 0;           // bytes cut from the end of the deflated rows
  int declared_height = 0;  // in IHDR, when not height
};

std::string Chunk(const char* type, const std::string& data) {
  std::string out;
  const uint32_t size = static_cast<uint32_t>(data.size());
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>(size >> shift);
  out += type;
  out += data;
  const std::string crc_of = std::string(type) + data;
  const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(crc_of.data()), crc_of.size());
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>(crc >> shift);
  return out;
}

std::string Be32(uint32_t v) {
  std::string out;
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>(v >> shift);
  return out;
}

// The PNG, and the zlib stream of its rows.
std::pair<std::string, std::string> MakePng(const PngSpec& spec) {
  const int samples = spec.color_type == 2 ? 3 : spec.color_type == 6 ? 4 : 1;
  const size_t row_bytes = (static_cast<size_t>(spec.width) * samples * spec.depth + 7) / 8;
  std::mt19937 random(7);
  std::string rows;
  for (int y = 0; y < spec.height; ++y) {
    rows += static_cast<char>(spec.filter);
    for (size_t i = 0; i < row_bytes; ++i) {
      rows += static_cast<char>(spec.noise ? random() & 0xFF : 0);
    }
  }
  std::string deflated(compressBound(rows.size()), '\0');
  uLongf size = deflated.size();
  compress2(reinterpret_cast<Bytef*>(deflated.data()), &size,
            reinterpret_cast<const Bytef*>(rows.data()), rows.size(), 6);
  deflated.resize(size - spec.cut);
  std::string png = "\x89PNG\r\n\x1A\n";
  png += Chunk("IHDR", Be32(static_cast<uint32_t>(spec.width)) +
                           Be32(static_cast<uint32_t>(
                               spec.declared_height != 0 ? spec.declared_height : spec.height)) +
                           static_cast<char>(spec.depth) + static_cast<char>(spec.color_type) +
                           std::string(2, '\0') + static_cast<char>(spec.interlaced ? 1 : 0));
  if (!spec.palette.empty()) png += Chunk("PLTE", spec.palette);
  if (spec.transparent) png += Chunk("tRNS", std::string(1, '\0'));
  const size_t piece = deflated.size() / static_cast<size_t>(spec.pieces) + 1;
  for (size_t at = 0; at < deflated.size(); at += piece) {
    png += Chunk("IDAT", deflated.substr(at, piece));
  }
  png += Chunk("IEND", "");
  return {png, deflated};
}

// Rows that a PDF reads as they are, and that would not deflate much smaller, are copied
// whole; every other PNG is left to its decoder, and no file is left behind for it.
TEST(CopyPngStream, CopiesNoisyRowsThatNeedNothingDone) {
  const std::string colours("\xFF\0\0\0\xFF\0\0\0\xFF\x10\x20\x30", 12);
  const std::string greys = std::string("\0\0\0\x80\x80\x80", 6);
  struct Case {
    const char* what;
    std::function<void(PngSpec&)> set;
    bool copied;
    int components, bits;
    std::string palette;
  } cases[] = {
      {"RGB in three pieces", [](PngSpec& s) { s.pieces = 3; }, true, 3, 8, ""},
      {"grey of 1 bit",
       [](PngSpec& s) {
         s.depth = 1;
         s.color_type = 0;
       },
       true, 1, 1, ""},
      {"a palette of colours, 2 bits",
       [&](PngSpec& s) {
         s.depth = 2;
         s.color_type = 3;
         s.palette = colours;
       },
       true, 3, 2, colours},
      {"a grey palette",
       [&](PngSpec& s) {
         s.depth = 1;
         s.color_type = 3;
         s.palette = greys;
       },
       true, 1, 1, std::string("\0\x80", 2)},
      {"rows that compress well", [](PngSpec& s) { s.noise = false; }, false, 0, 0, ""},
      {"transparency",
       [](PngSpec& s) {
         s.color_type = 0;
         s.transparent = true;
       },
       false, 0, 0, ""},
      {"interlaced", [](PngSpec& s) { s.interlaced = true; }, false, 0, 0, ""},
      {"16 bits", [](PngSpec& s) { s.depth = 16; }, false, 0, 0, ""},
      {"RGBA", [](PngSpec& s) { s.color_type = 6; }, false, 0, 0, ""},
      {"a palette picture without its palette", [](PngSpec& s) { s.color_type = 3; }, false, 0, 0,
       ""},
      {"cut short", [](PngSpec& s) { s.cut = 40; }, false, 0, 0, ""},
      {"more rows than it says", [](PngSpec& s) { s.declared_height = 16; }, false, 0, 0, ""},
      {"a filter that does not exist", [](PngSpec& s) { s.filter = 7; }, false, 0, 0, ""},
  };
  test::TempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    PngSpec spec;
    c.set(spec);
    const auto [png, deflated] = MakePng(spec);
    test::WriteFile(dir / "p.png", png);
    LosslessPicture picture;
    std::string error;
    int write_error = 0;
    const PngStreamCopy result =
        CopyPngStream(dir / "p.png", dir / "p.zlib", &picture, &error, &write_error);
    EXPECT_EQ(result, c.copied ? PngStreamCopy::kCopied : PngStreamCopy::kNotSuitable);
    EXPECT_EQ(std::filesystem::exists(dir / "p.zlib"), c.copied);
    if (!c.copied) continue;
    EXPECT_TRUE(test::ReadFile(dir / "p.zlib") == deflated);
    EXPECT_EQ(picture.width, spec.width);
    EXPECT_EQ(picture.height, spec.height);
    EXPECT_EQ(picture.components, c.components);
    EXPECT_EQ(picture.form.bits, c.bits);
    EXPECT_EQ(picture.form.palette, c.palette);
    EXPECT_TRUE(picture.form.color_key.empty());
    std::filesystem::remove(dir / "p.zlib");
  }
}

}  // namespace
}  // namespace vellumox
