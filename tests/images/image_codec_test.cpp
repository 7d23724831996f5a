#include "images/image_codec.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/picture_fixtures.h"
#include "support/test_support.h"

namespace vellumox {
namespace {

using test::Pixels;
using test::TempDir;

ImageCodec& Codec() {
  return test::SharedCodec();
}

struct Decoded {
  bool ok = false;
  int width = 0, height = 0, channels = 0;
  char form = '?';  // as decoded: 'p' plain, 'a' with alpha, 'i' indexed
  std::vector<uint8_t> first_row;
  std::string error;
};

Decoded DecodeAll(const std::string& path, const std::string& folder) {
  Decoded d;
  ImageFormat format = SniffImageFile(path);
  std::unique_ptr<PixelRows> rows = Codec().Decode(path, format, folder, &d.error);
  if (!rows) return d;
  d.form = rows->indexed() ? 'i' : rows->alpha() ? 'a' : 'p';
  rows = Flattened(std::move(rows));
  d.width = rows->width();
  d.height = rows->height();
  d.channels = rows->channels();
  std::vector<uint8_t> row(static_cast<size_t>(d.width) * d.channels);
  for (int y = 0; y < d.height; ++y) {
    if (!rows->NextRow(row.data())) {
      d.error = rows->error();
      return d;
    }
    if (y == 0) d.first_row = row;
  }
  d.ok = true;
  return d;
}

TEST(ImageCodec, ReadsEveryFormatHere) {
  for (ImageFormat f : {ImageFormat::kJpeg, ImageFormat::kPng, ImageFormat::kGif, ImageFormat::kBmp,
                        ImageFormat::kTiff, ImageFormat::kPsd, ImageFormat::kPcx, ImageFormat::kIco,
                        ImageFormat::kTga, ImageFormat::kWmf, ImageFormat::kEmf}) {
    EXPECT_TRUE(Codec().CanRead(f)) << FormatName(f);
  }
  EXPECT_TRUE(Codec().HasImageComponent());
  EXPECT_FALSE(Codec().CanRead(ImageFormat::kUnknown));
}

TEST(ImageCodec, DecodesEveryFormatAtItsSize) {
  TempDir dir;
  test::MakeJpeg(dir / "a.jpg", 80, 60);
  test::MakeJpeg(dir / "grey.jpg", 80, 60, Pixels::kGrey);
  test::MakeJpeg(dir / "cmyk.jpg", 80, 60, Pixels::kCmyk);
  test::MakeJpeg(dir / "prog.jpg", 80, 60, Pixels::kRgb, 80, true);
  test::MakePng(dir / "a.png", 70, 50);
  test::MakePng(dir / "grey.png", 70, 50, Pixels::kGrey);
  test::MakePng(dir / "palette.png", 70, 50, Pixels::kPalette);
  test::MakePng(dir / "alpha.png", 70, 50, Pixels::kRgba);
  test::MakePng(dir / "interlaced.png", 70, 50, Pixels::kRgb, true);
  test::MakeWithMagick(dir / "a.gif", "GIF", 64, 48);
  test::MakeWithMagick(dir / "a.bmp", "BMP", 64, 48);
  test::MakeWithMagick(dir / "a.tif", "TIFF", 64, 48);
  test::MakeWithMagick(dir / "grey.tif", "TIFF", 64, 48, true);
  test::MakeWithMagick(dir / "a.tga", "TGA", 64, 48);
  test::MakeWithMagick(dir / "a.pcx", "PCX", 64, 48);
  test::MakeWithMagick(dir / "a.psd", "PSD", 64, 48);
  test::MakeWithMagick(dir / "a.ico", "ICO", 32, 32);
  test::MakeRleBitmap(dir / "a.rle", 300, 20);
  test::MakeWmf(dir / "a.wmf", 2, 1);
  test::MakeWmf(dir / "text.wmf", 2, 1, "Hello");  // text needs the URW fonts
  test::MakeEmf(dir / "a.emf", 50.8, 25.4);
  // form: as the file keeps it ('p' plain, 'a' with alpha, 'i' indexed); the fixtures drawn
  // by ImageMagick carry an alpha channel, all opaque.
  struct Case {
    const char* name;
    int width, height, channels;
    char form;
  } cases[] = {
      {"a.jpg", 80, 60, 3, 'p'},          {"grey.jpg", 80, 60, 1, 'p'},
      {"cmyk.jpg", 80, 60, 3, 'p'},       {"prog.jpg", 80, 60, 3, 'p'},
      {"a.png", 70, 50, 3, 'p'},          {"grey.png", 70, 50, 1, 'p'},
      {"palette.png", 70, 50, 3, 'i'},    {"alpha.png", 70, 50, 3, 'a'},
      {"interlaced.png", 70, 50, 3, 'p'}, {"a.gif", 64, 48, 3, 'i'},
      {"a.bmp", 64, 48, 3, 'a'},          {"a.tif", 64, 48, 3, 'a'},
      {"grey.tif", 64, 48, 1, 'p'},       {"a.tga", 64, 48, 3, 'a'},
      {"a.pcx", 64, 48, 3, 'a'},          {"a.psd", 64, 48, 3, 'a'},
      {"a.ico", 32, 32, 3, 'a'},          {"a.rle", 300, 20, 3, 'i'},
      {"a.wmf", 192, 96, 3, 'a'},         {"text.wmf", 192, 96, 3, 'a'},
      {"a.emf", 192, 96, 3, 'p'},
  };
  // WMF and EMF in one process: their libraries must not clash.
  for (const Case& c : cases) {
    Decoded d = DecodeAll(dir / c.name, dir.path());
    EXPECT_TRUE(d.ok) << c.name << ": " << d.error;
    EXPECT_EQ(d.width, c.width) << c.name;
    EXPECT_EQ(d.height, c.height) << c.name;
    EXPECT_EQ(d.channels, c.channels) << c.name;
    EXPECT_EQ(d.form, c.form) << c.name;
  }
}

TEST(ImageCodec, TransparencyGoesOntoWhite) {
  TempDir dir;
  test::MakePng(dir / "alpha.png", 70, 50, Pixels::kRgba);
  Decoded d = DecodeAll(dir / "alpha.png", dir.path());
  ASSERT_TRUE(d.ok);
  // The first column is fully transparent, the last fully opaque.
  EXPECT_EQ(d.first_row[0], 255);
  EXPECT_EQ(d.first_row[1], 255);
  EXPECT_EQ(d.first_row[2], 255);
}

TEST(ImageCodec, RefusesBrokenAndForeignFiles) {
  TempDir dir;
  test::MakeJpeg(dir / "good.jpg", 200, 150);
  std::string jpeg = test::ReadFile(dir / "good.jpg");
  test::WriteFile(dir / "cut.jpg", jpeg.substr(0, jpeg.size() / 2));
  test::MakePng(dir / "good.png", 200, 150);
  std::string png = test::ReadFile(dir / "good.png");
  test::WriteFile(dir / "cut.png", png.substr(0, png.size() / 2));
  std::string bogus = png;
  bogus.replace(16, 8, std::string("\xFF\xFF\xFF\xFF\x00\x00\x00\x00", 8));
  test::WriteFile(dir / "bogus.png", bogus);
  // A header that claims 100000 x 100000 pixels.
  std::string huge = png;
  huge.replace(16, 8, std::string("\x00\x01\x86\xA0\x00\x01\x86\xA0", 8));
  test::WriteFile(dir / "huge.png", huge);
  test::WriteFile(dir / "garbage.gif", "GIF89a" + std::string(40, '\x7F'));
  for (const char* name : {"cut.jpg", "cut.png", "bogus.png", "huge.png", "garbage.gif"}) {
    Decoded d = DecodeAll(dir / name, dir.path());
    EXPECT_FALSE(d.ok) << name;
    EXPECT_FALSE(d.error.empty()) << name;
  }
}

TEST(ImageCodec, EncodesBaselineJpegGreyOrColour) {
  TempDir dir;
  test::MakePng(dir / "grey.png", 120, 90, Pixels::kGrey);
  test::MakeWithMagick(dir / "rgb.tif", "TIFF", 40, 30);
  ASSERT_EQ(test::RunCommand("convert " + test::ShellQuote(dir / "rgb.tif") + " -colorspace CMYK " +
                             test::ShellQuote(dir / "cmyk.tif"))
                .exit_code,
            0);
  for (const char* name : {"grey.png", "cmyk.tif"}) {
    std::string error;
    auto rows =
        Flattened(Codec().Decode(dir / name, SniffImageFile(dir / name), dir.path(), &error));
    ASSERT_TRUE(rows) << error;
    int channels = rows->channels();
    ASSERT_TRUE(Codec().EncodeJpeg(*rows, dir / "out.jpg", 75, &error)) << error;
    auto r = test::RunCommand("identify -format '%w %h %[colorspace] %[jpeg:sampling-factor]' " +
                              test::ShellQuote(dir / "out.jpg"));
    EXPECT_EQ(r.output.substr(0, 7), channels == 1 ? "120 90 " : "40 30 s") << r.output;
    EXPECT_NE(r.output.find(channels == 1 ? "Gray" : "sRGB"), std::string::npos) << r.output;
  }
}

}  // namespace
}  // namespace vellumox
