#include "images/image_header.h"

#include <gtest/gtest.h>

#include "support/picture_fixtures.h"
#include "support/test_support.h"

namespace vellumox {
namespace {

using test::Pixels;
using test::TempDir;

struct Header {
  int32_t width, height, kind;
  int bits;
};

Header Read(const std::string& path) {
  int32_t w = -1, h = -1, kind = -1;
  uint8_t bits = 99;
  uint8_t result = ReadImageHeader(path, w, h, bits, kind);
  EXPECT_EQ(result, bits);
  return Header{w, h, kind, bits};
}

TEST(ReadImageHeader, ReadsPngGifBmpAndJpegHeaders) {
  TempDir dir;
  test::MakePng(dir / "rgb.png", 300, 200);
  test::MakePng(dir / "rgba.png", 30, 20, Pixels::kRgba);
  test::MakePng(dir / "grey.png", 30, 20, Pixels::kGrey);
  test::MakeWithMagick(dir / "a.gif", "GIF", 64, 32);
  test::MakeWithMagick(dir / "a.bmp", "BMP3", 40, 30);
  test::MakeJpeg(dir / "grey.jpg", 120, 80, Pixels::kGrey);
  test::MakeJpeg(dir / "rgb.jpg", 120, 80);
  test::MakeJpeg(dir / "cmyk.jpg", 12, 8, Pixels::kCmyk);
  test::MakeJpeg(dir / "progressive.jpg", 120, 80, Pixels::kRgb, 90, true);
  struct Case {
    const char* name;
    Header header;
  } cases[] = {
      {"rgb.png", {300, 200, 3, 24}},
      {"rgba.png", {30, 20, 3, 32}},
      {"grey.png", {30, 20, 3, 8}},
      {"a.gif", {64, 32, 1, 8}},
      {"a.bmp", {40, 30, 4, 24}},
      {"grey.jpg", {120, 80, 2, 8}},
      {"rgb.jpg", {120, 80, 2, 24}},
      {"cmyk.jpg", {12, 8, 2, 32}},
      {"progressive.jpg", {120, 80, 2, 24}},
  };
  for (const Case& c : cases) {
    Header h = Read(dir / c.name);
    EXPECT_EQ(h.width, c.header.width) << c.name;
    EXPECT_EQ(h.height, c.header.height) << c.name;
    EXPECT_EQ(h.kind, c.header.kind) << c.name;
    if (c.header.kind == 1) {
      EXPECT_TRUE(h.bits >= 1 && h.bits <= 8) << c.name;  // the palette's size
    } else {
      EXPECT_EQ(h.bits, c.header.bits) << c.name;
    }
  }
}

TEST(ReadImageHeader, AnyBytesGiveAnAnswer) {
  int32_t w, h, kind;
  uint8_t bits;
  for (std::string bytes : {std::string(), std::string("\xFF\xD8\xFF", 3),
                            std::string("\xFF\xD8\xFF\xC0\x00\x11\x08\x00\x10\x00\x20\x40", 12),
                            std::string(70000, '\xFF'), std::string("\x89PN", 3)}) {
    ReadImageHeader(std::string_view(bytes), w, h, bits, kind);
  }
  // 64 components do not fit in a byte as bits: read as 0, never an error.
  std::string many("\xFF\xD8\xFF\xC0\x00\x11\x08\x00\x10\x00\x20\x40", 12);
  EXPECT_EQ(ReadImageHeader(std::string_view(many), w, h, bits, kind), 0);
  EXPECT_EQ(kind, 2);
  EXPECT_EQ(w, 32);
  EXPECT_EQ(h, 16);
  EXPECT_EQ(ReadImageHeader(std::string("/no/such/file"), w, h, bits, kind), 0);
  EXPECT_EQ(MakeWord(0x34, 0x12), 0x1234);
}

TEST(IsEmbeddableJpeg, OnlyHuffmanFramesWithOneOrThreeComponentsThatEnd) {
  TempDir dir;
  test::MakeJpeg(dir / "rgb.jpg", 64, 48);
  test::MakeJpeg(dir / "grey.jpg", 64, 48, Pixels::kGrey);
  test::MakeJpeg(dir / "progressive.jpg", 64, 48, Pixels::kRgb, 90, true);
  test::MakeJpeg(dir / "cmyk.jpg", 64, 48, Pixels::kCmyk);
  std::string whole = test::ReadFile(dir / "rgb.jpg");
  test::WriteFile(dir / "cut.jpg", whole.substr(0, whole.size() / 2));
  test::WriteFile(dir / "padded.jpg", whole + std::string(100, '\0'));
  std::string arithmetic = whole;
  size_t sof = arithmetic.find("\xFF\xC0");
  arithmetic[sof + 1] = '\xC9';
  test::WriteFile(dir / "arith.jpg", arithmetic);
  struct Case {
    const char* name;
    bool embeddable;
  } cases[] = {{"rgb.jpg", true},   {"grey.jpg", true}, {"progressive.jpg", true},
               {"cmyk.jpg", false}, {"cut.jpg", false}, {"padded.jpg", true},
               {"arith.jpg", false}};
  for (const Case& c : cases) EXPECT_EQ(IsEmbeddableJpeg(dir / c.name), c.embeddable) << c.name;
  JpegFrame frame;
  ASSERT_TRUE(IsEmbeddableJpeg(dir / "progressive.jpg", &frame));
  EXPECT_EQ(frame.marker, 0xC2);
  EXPECT_EQ(frame.width, 64);
  EXPECT_EQ(frame.height, 48);
  EXPECT_EQ(frame.components, 3);
}

}  // namespace
}  // namespace vellumox
