#include "images/jpeg_conversion.h"

#include <gtest/gtest.h>

#include "images/image_header.h"
#include "platform/file_system.h"
#include "support/picture_fixtures.h"
#include "support/test_support.h"

namespace vellumox {
namespace {

using test::Pixels;
using test::TempDir;

ImageCodec& Codec() {
  return test::SharedCodec();
}

JpegFile Convert(const TempDir& dir, const std::string& name, bool keep, int quality = 100) {
  return ConvertToJpeg(dir / name, Codec(), JpegOptions{quality, keep}, dir / "~temp.jpg",
                       dir.path());
}

// At quality 100 a JPEG that a reader shows as it looks goes in as it is, whatever its name;
// what a reader could not show is decoded and encoded anew.
TEST(ConvertToJpeg, AtTheBestQualityJpegsStayAsTheyAre) {
  TempDir dir;
  test::JpegCoding icc2, icc4, turned, arithmetic;
  icc2.icc_profile = test::MakeIccProfile(2);
  icc4.icc_profile = test::MakeIccProfile(4);
  turned.orientation = 6;
  arithmetic.arithmetic = true;
  test::MakeJpeg(dir / "rgb.jpg", 160, 120, Pixels::kRgb, 80);
  test::MakeJpeg(dir / "progressive.jpeg", 160, 120, Pixels::kRgb, 80, true);
  test::MakeJpeg(dir / "grey.jpg", 160, 120, Pixels::kGrey);
  test::MakeJpeg(dir / "cmyk.jpg", 160, 120, Pixels::kCmyk);
  test::MakeJpeg(dir / "icc2.jpg", 160, 120, Pixels::kRgb, icc2);
  test::MakeJpeg(dir / "icc4.jpg", 160, 120, Pixels::kRgb, icc4);
  test::MakeJpeg(dir / "turned.jpg", 160, 120, Pixels::kRgb, turned);
  test::MakeJpeg(dir / "jpeg.png", 160, 120);  // a JPEG named .png
  test::MakeJpeg(dir / "arith.jpg", 160, 120, Pixels::kRgb, arithmetic);
  test::MakePng(dir / "png.jpg", 160, 120);  // a PNG named .jpg
  struct Case {
    const char* name;
    bool kept;
    int components, orientation;
    bool inverted, profile;
  } cases[] = {
      {"rgb.jpg", true, 3, 1, false, false},    {"progressive.jpeg", true, 3, 1, false, false},
      {"grey.jpg", true, 1, 1, false, false},   {"cmyk.jpg", true, 4, 1, true, false},
      {"icc2.jpg", true, 3, 1, false, true},    {"icc4.jpg", true, 3, 1, false, false},
      {"turned.jpg", true, 3, 6, false, false}, {"jpeg.png", true, 3, 1, false, false},
      {"arith.jpg", false, 3, 1, false, false}, {"png.jpg", false, 3, 1, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    JpegFile f = Convert(dir, c.name, false, 100);
    ASSERT_TRUE(f.ok) << f.error;
    // A PNG is kept lossless at this quality, whatever its name.
    const bool png = std::string(c.name) == "png.jpg";
    EXPECT_EQ(f.lossless, png);
    EXPECT_EQ(f.path, c.kept ? dir / c.name : dir / (png ? "~temp.zlib" : "~temp.jpg"));
    EXPECT_EQ(f.width, 160);
    EXPECT_EQ(f.height, 120);
    EXPECT_EQ(f.components, c.components);
    EXPECT_EQ(f.orientation, c.orientation);
    EXPECT_EQ(f.UprightWidth(), c.orientation == 6 ? 120 : 160);
    EXPECT_EQ(f.inverted, c.inverted);
    EXPECT_EQ(f.icc_profile, c.profile ? icc2.icc_profile : std::string());
    if (!c.kept && !png) {
      std::optional<JpegFrame> frame = ReadJpegFrame(f.path);
      ASSERT_TRUE(frame.has_value());
      EXPECT_EQ(frame->marker, 0xC0);
      EXPECT_EQ(frame->components, 3);
    }
    vellumox::RemoveFile(f.path != dir / c.name ? f.path : std::string());
  }
}

// Below quality 100 a JPEG is encoded anew, upright, unless "Do not recompress JPG files" is on
// and its name is a JPEG's; a kept JPEG leaves its turn to the page.
TEST(ConvertToJpeg, BelowItTheSkipOptionKeepsJpegFiles) {
  TempDir dir;
  test::JpegCoding turned;
  turned.orientation = 8;
  test::MakeJpeg(dir / "Photo.JPG", 160, 120, Pixels::kRgb, turned);
  test::MakeJpeg(dir / "cmyk.jpg", 160, 120, Pixels::kCmyk);
  test::MakeJpeg(dir / "jpeg.png", 160, 120);
  JpegFile kept = Convert(dir, "Photo.JPG", true, 50);
  ASSERT_TRUE(kept.ok) << kept.error;
  EXPECT_EQ(kept.path, dir / "Photo.JPG");
  EXPECT_EQ(kept.orientation, 8);
  EXPECT_EQ(Convert(dir, "cmyk.jpg", true, 50).components, 4);

  JpegFile again = Convert(dir, "Photo.JPG", false, 50);
  ASSERT_TRUE(again.ok) << again.error;
  EXPECT_EQ(again.path, dir / "~temp.jpg");
  EXPECT_EQ(again.orientation, 1);
  EXPECT_EQ(again.width, 120);  // turned upright
  EXPECT_EQ(again.height, 160);
  EXPECT_NE(test::ReadFile(again.path), test::ReadFile(dir / "Photo.JPG"));
  for (const char* name : {"cmyk.jpg", "jpeg.png"}) {
    JpegFile f = Convert(dir, name, std::string(name) == "jpeg.png", 50);
    ASSERT_TRUE(f.ok) << name << ": " << f.error;
    EXPECT_EQ(f.path, dir / "~temp.jpg") << name;
    EXPECT_EQ(f.components, 3) << name;
    EXPECT_EQ(ReadJpegFrame(f.path)->components, 3) << name;
  }
}

TEST(ConvertToJpeg, BadPicturesGiveNoJpeg) {
  TempDir dir;
  test::MakeJpeg(dir / "good.jpg", 64, 48);
  std::string jpeg = test::ReadFile(dir / "good.jpg");
  test::WriteFile(dir / "cut.jpg", jpeg.substr(0, jpeg.size() * 2 / 3));
  test::WriteFile(dir / "empty.jpg", "");
  test::WriteFile(dir / "ps.png", "%!PS-Adobe-3.0\n0 0 moveto showpage\n");
  test::WriteFile(dir / "svg.png", "<svg xmlns=\"http://www.w3.org/2000/svg\"/>");
  for (bool keep : {true, false}) {
    for (const char* name : {"cut.jpg", "empty.jpg", "ps.png", "svg.png", "missing.jpg"}) {
      JpegFile f = Convert(dir, name, keep);
      EXPECT_FALSE(f.ok) << name;
      EXPECT_FALSE(test::PathExists(dir / "~temp.jpg")) << name;
    }
  }
}

}  // namespace
}  // namespace vellumox
