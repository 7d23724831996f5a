#include "images/jpeg_conversion.h"

#include <gtest/gtest.h>

#include "images/image_header.h"
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

TEST(ConvertToJpeg, KeepsEmbeddableJpegFilesAsTheyAre) {
  TempDir dir;
  test::MakeJpeg(dir / "Photo.JPG", 160, 120, Pixels::kRgb, 80);
  JpegFile kept = Convert(dir, "Photo.JPG", true);
  ASSERT_TRUE(kept.ok) << kept.error;
  EXPECT_EQ(kept.path, dir / "Photo.JPG");
  EXPECT_EQ(kept.width, 160);
  EXPECT_EQ(kept.height, 120);

  JpegFile again = Convert(dir, "Photo.JPG", false, 50);
  ASSERT_TRUE(again.ok) << again.error;
  EXPECT_EQ(again.path, dir / "~temp.jpg");
  EXPECT_NE(test::ReadFile(again.path), test::ReadFile(dir / "Photo.JPG"));
}

TEST(ConvertToJpeg, RecodesWhatAReaderCouldNotShow) {
  TempDir dir;
  test::MakeJpeg(dir / "cmyk.jpg", 64, 48, Pixels::kCmyk);
  test::MakePng(dir / "png.jpg", 64, 48);  // a PNG named .jpg
  for (const char* name : {"cmyk.jpg", "png.jpg"}) {
    JpegFile f = Convert(dir, name, true);
    ASSERT_TRUE(f.ok) << name << ": " << f.error;
    EXPECT_EQ(f.path, dir / "~temp.jpg") << name;
    auto frame = ReadJpegFrame(f.path);
    ASSERT_TRUE(frame.has_value());
    EXPECT_EQ(frame->components, 3) << name;
    EXPECT_EQ(frame->marker, 0xC0) << name;
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
