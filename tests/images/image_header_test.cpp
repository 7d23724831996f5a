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

TEST(ReadJpegTraits, ReadsWhatDecidesHowAJpegIsEmbedded) {
  TempDir dir;
  const std::string profile = test::MakeIccProfile(2, false, 150000);  // three APP2 chunks
  test::JpegCoding icc;
  icc.icc_profile = profile;
  icc.orientation = 6;
  test::MakeJpeg(dir / "icc.jpg", 64, 48, Pixels::kRgb, icc);
  test::MakeJpeg(dir / "cmyk.jpg", 64, 48, Pixels::kCmyk);
  test::MakeJpeg(dir / "progressive.jpg", 64, 48, Pixels::kRgb, 90, true);
  std::optional<JpegTraits> t = ReadJpegTraits(dir / "icc.jpg");
  ASSERT_TRUE(t.has_value());
  EXPECT_EQ(t->icc_profile, profile);
  EXPECT_EQ(t->orientation, 6);
  EXPECT_TRUE(t->jfif);
  EXPECT_FALSE(t->adobe);
  EXPECT_EQ(t->precision, 8);
  EXPECT_EQ(t->frame.marker, 0xC0);
  EXPECT_TRUE(t->ends);
  t = ReadJpegTraits(dir / "cmyk.jpg");
  ASSERT_TRUE(t.has_value());
  EXPECT_TRUE(t->adobe);
  EXPECT_EQ(t->frame.components, 4);
  t = ReadJpegTraits(dir / "progressive.jpg");
  ASSERT_TRUE(t.has_value());
  EXPECT_EQ(t->frame.marker, 0xC2);
  EXPECT_EQ(t->frame.width, 64);
  EXPECT_EQ(t->frame.height, 48);

  // A profile with a chunk missing or doubled is no profile.
  std::string jpeg = test::ReadFile(dir / "icc.jpg");
  const size_t second = jpeg.find(std::string("ICC_PROFILE\0\x02", 13));
  ASSERT_NE(second, std::string::npos);
  std::string doubled = jpeg;
  doubled[second + 12] = '\x01';
  test::WriteFile(dir / "doubled.jpg", doubled);
  t = ReadJpegTraits(dir / "doubled.jpg");
  ASSERT_TRUE(t.has_value());
  EXPECT_TRUE(t->icc_profile.empty());
  // Cut short: no end of image.
  test::WriteFile(dir / "cut.jpg", jpeg.substr(0, jpeg.size() - 200));
  EXPECT_FALSE(ReadJpegTraits(dir / "cut.jpg")->ends);
  EXPECT_FALSE(ReadJpegTraits(dir / "missing.jpg").has_value());
}

TEST(CanEmbedAsItIs, OnlyWhatAReaderShowsAsLibjpegDoes) {
  JpegTraits good;
  good.frame = JpegFrame{0xC0, 64, 48, 3};
  good.precision = 8;
  good.jfif = true;
  good.ends = true;
  struct Case {
    const char* what;
    void (*change)(JpegTraits&);
    bool embeddable;
  } cases[] = {
      {"baseline", [](JpegTraits&) {}, true},
      {"extended", [](JpegTraits& t) { t.frame.marker = 0xC1; }, true},
      {"progressive", [](JpegTraits& t) { t.frame.marker = 0xC2; }, true},
      {"lossless", [](JpegTraits& t) { t.frame.marker = 0xC3; }, false},
      {"arithmetic", [](JpegTraits& t) { t.frame.marker = 0xC9; }, false},
      {"arithmetic progressive", [](JpegTraits& t) { t.frame.marker = 0xCA; }, false},
      {"12-bit", [](JpegTraits& t) { t.precision = 12; }, false},
      {"grey", [](JpegTraits& t) { t.frame.components = 1; }, true},
      {"two components", [](JpegTraits& t) { t.frame.components = 2; }, false},
      {"CMYK", [](JpegTraits& t) { t.frame.components = 4; }, true},
      {"five components", [](JpegTraits& t) { t.frame.components = 5; }, false},
      {"cut short", [](JpegTraits& t) { t.ends = false; }, false},
      {"no width", [](JpegTraits& t) { t.frame.width = 0; }, false},
      {"no frame", [](JpegTraits& t) { t.frame.marker = 0; }, false},
      {"RGB named, JFIF", [](JpegTraits& t) { t.rgb_ids = true; }, true},
      {"RGB named, Adobe",
       [](JpegTraits& t) {
         t.rgb_ids = true;
         t.jfif = false;
         t.adobe = true;
       },
       true},
      {"RGB named alone",
       [](JpegTraits& t) {
         t.rgb_ids = true;
         t.jfif = false;
       },
       false},
  };
  for (const Case& c : cases) {
    JpegTraits t = good;
    c.change(t);
    EXPECT_EQ(CanEmbedAsItIs(t), c.embeddable) << c.what;
  }
}

TEST(IccProfileFitsPdf13, Version2OfThePicturesColourSpaceOnly) {
  const std::string rgb2 = test::MakeIccProfile(2), grey2 = test::MakeIccProfile(2, true);
  EXPECT_TRUE(IccProfileFitsPdf13(rgb2, 3));
  EXPECT_TRUE(IccProfileFitsPdf13(grey2, 1));
  EXPECT_FALSE(IccProfileFitsPdf13(rgb2, 1));
  EXPECT_FALSE(IccProfileFitsPdf13(grey2, 3));
  EXPECT_FALSE(IccProfileFitsPdf13(rgb2, 4));
  EXPECT_FALSE(IccProfileFitsPdf13(test::MakeIccProfile(4), 3));
  EXPECT_FALSE(IccProfileFitsPdf13(rgb2.substr(0, rgb2.size() - 1), 3));  // shorter than it says
  EXPECT_FALSE(IccProfileFitsPdf13("", 3));
  std::string unsigned_profile = rgb2;
  unsigned_profile[36] = 'x';  // no "acsp"
  EXPECT_FALSE(IccProfileFitsPdf13(unsigned_profile, 3));
}

}  // namespace
}  // namespace vellumox
