// Pictures that are not JPEGs, at the best quality: kept lossless (/FlateDecode with the PNG
// predictors), so pdfimages gives back every pixel.
#include <gtest/gtest.h>

#include "support/picture_fixtures.h"
#include "support/test_support.h"

namespace vellumox {
namespace {

using test::Pixels;
using test::RunCommand;
using test::ShellQuote;
using test::TempDir;

// The number of pixels that differ by more than fuzz (ImageMagick's compare).
long DifferingPixels(const std::string& a, const std::string& b, const std::string& fuzz = "0") {
  const std::string out = RunCommand("compare -metric AE -fuzz " + fuzz + " " + ShellQuote(a) +
                                     " " + ShellQuote(b) + " null: 2>&1")
                              .output;
  return out.empty() ? -1 : std::atol(out.c_str());
}

TEST(LosslessPictures, EveryPixelComesBack) {
  TempDir dir;
  test::MakePng(dir / "rgb.png", 160, 120);
  test::MakePng(dir / "grey.png", 160, 120, Pixels::kGrey);
  test::MakePng(dir / "palette.png", 160, 120, Pixels::kPalette);
  test::MakePng(dir / "interlaced.png", 160, 120, Pixels::kRgb, true);
  test::MakeWithMagick(dir / "picture.gif", "GIF", 160, 120);
  test::MakeWithMagick(dir / "picture.bmp", "BMP3", 160, 120);
  test::MakeWithMagick(dir / "picture.tif", "TIFF", 160, 120);
  test::MakeRleBitmap(dir / "runs.rle", 160, 120);
  RunCommand("convert -size 160x120 gradient:navy-gold -depth 16 " + ShellQuote(dir / "deep.png"));
  const struct {
    const char* name;
    // A 16-bit picture (ImageMagick writes its TIFF so) comes back reduced to 8 bits, each
    // sample rounded: within half a step of 256.
    const char* fuzz;
  } pictures[] = {{"rgb.png", "0"},        {"grey.png", "0"},    {"palette.png", "0"},
                  {"interlaced.png", "0"}, {"picture.gif", "0"}, {"picture.bmp", "0"},
                  {"picture.tif", "0.4%"}, {"runs.rle", "0"},    {"deep.png", "0.4%"}};
  std::string album;
  for (const auto& picture : pictures) {
    if (!album.empty()) album += "\f\r\n";
    album += "<img src=\"" + dir / picture.name + "\">\r\n";
  }
  test::WriteFile(dir / "album.txt", album);
  test::BatchRuns batch;
  test::CommandResult r = batch.Run(ShellQuote(dir / "album.txt"));
  ASSERT_EQ(r.exit_code, 0) << r.error;
  ASSERT_TRUE(test::ExpectSoundPdf(dir / "album.pdf"));
  const std::string bytes = test::ReadFile(dir / "album.pdf");
  EXPECT_EQ(bytes.find("/DCTDecode"), std::string::npos);
  EXPECT_NE(
      bytes.find("/DecodeParms [ << /Predictor 15 /Colors 3 /BitsPerComponent 8 /Columns 160 >> ]"),
      std::string::npos);
  RunCommand("mkdir " + ShellQuote(dir / "out") + " && pdfimages -png " +
             ShellQuote(dir / "album.pdf") + " " + ShellQuote(dir / "out/img"));
  const std::vector<std::string> extracted = test::ListFolder(dir / "out");
  ASSERT_EQ(extracted.size(), std::size(pictures));
  for (size_t k = 0; k < extracted.size(); ++k) {
    SCOPED_TRACE(pictures[k].name);
    EXPECT_EQ(
        DifferingPixels(dir / ("out/" + extracted[k]), dir / pictures[k].name, pictures[k].fuzz),
        0);
  }
  // Grey stays grey.
  std::vector<test::PdfImageRow> rows = test::PdfImages(dir / "album.pdf");
  ASSERT_EQ(rows.size(), std::size(pictures));
  EXPECT_EQ(rows[1].color, "gray");
  EXPECT_EQ(rows[0].color, "rgb");
  // Below the best quality, pictures are JPEGs at that quality, as before.
  test::CommandResult jpeg = batch.Run("--jpeg-quality=80 -o " + ShellQuote(dir / "j.pdf") + " " +
                                       ShellQuote(dir / "album.txt"));
  ASSERT_EQ(jpeg.exit_code, 0) << jpeg.error;
  const std::string jpeg_bytes = test::ReadFile(dir / "j.pdf");
  EXPECT_EQ(jpeg_bytes.find("/FlateDecode"), std::string::npos);
}

}  // namespace
}  // namespace vellumox
