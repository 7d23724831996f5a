// Pictures that are not JPEGs, at the best quality: kept lossless (/FlateDecode with the PNG
// predictors), so pdfimages gives back every pixel.
#include <gtest/gtest.h>

#include <cstdio>
#include <optional>

#include "support/picture_fixtures.h"
#include "support/test_support.h"

namespace vellumox {
namespace {

using test::Pixels;
using test::RunCommand;
using test::ShellQuote;
using test::TempDir;

using test::DifferingPixels;
using test::MeanDifference;

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
  // Noise: the PNG's own rows go in as they are.
  RunCommand("convert -size 160x120 xc: +noise Random -depth 8 PNG24:" +
             ShellQuote(dir / "noise.png"));
  RunCommand("convert -size 160x120 xc: +noise Random -colors 16 PNG8:" +
             ShellQuote(dir / "noise-palette.png"));
  const struct {
    const char* name;
    // A 16-bit picture (ImageMagick writes its TIFF so) comes back reduced to 8 bits, each
    // sample rounded: within half a step of 256.
    const char* fuzz;
  } pictures[] = {{"rgb.png", "0"},        {"grey.png", "0"},         {"palette.png", "0"},
                  {"interlaced.png", "0"}, {"picture.gif", "0"},      {"picture.bmp", "0"},
                  {"picture.tif", "0.4%"}, {"runs.rle", "0"},         {"deep.png", "0.4%"},
                  {"noise.png", "0"},      {"noise-palette.png", "0"}};
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

// Transparency on a yellow page (-b6: 255, 230, 0), each picture drawn over an opaque red one
// in the same place, so that a mask shows red where the picture is clear. All or nothing keeps
// its transparency (a colour key or a stencil mask); partial transparency is composed onto the
// page colour, and the run says so once.
TEST(LosslessPictures, TransparencyIsKeptOrComposedOntoThePage) {
  TempDir dir;
  using test::Clear;
  const struct {
    const char* name;
    std::optional<Clear> kind;  // none: made by ImageMagick below
    const char* color;          // as pdfimages lists it
    int bpc;                    // 0: any
    char masking;               // 'k' colour key, 's' stencil mask, 'c' composed, '-' none
  } pictures[] = {
      {"one-clear.png", Clear::kPaletteOneClear, "index", 4, 'k'},
      {"two-clear.png", Clear::kPaletteTwoClear, "index", 4, 's'},
      {"keyed.png", Clear::kKeyedRgb, "rgb", 8, 'k'},
      {"binary.png", Clear::kBinaryRgba, "rgb", 8, 'k'},
      {"binary-yellow.png", Clear::kBinaryRgbaOnYellow, "rgb", 8, 's'},
      {"partial.png", Clear::kPartialRgba, "rgb", 8, 'c'},
      // Grey composed onto a yellow page is no longer grey.
      {"grey-alpha.png", Clear::kPartialGreyAlpha, "rgb", 8, 'c'},
      {"black-white.png", Clear::kBlackAndWhite, "gray", 1, '-'},
      {"clear.gif", std::nullopt, "index", 0, 'k'},
      {"animated.gif", std::nullopt, "index", 0, '-'},
  };
  RunCommand(
      "convert -size 64x48 gradient:orange-navy -colors 8 \\( -size 64x48 xc:none -fill "
      "white -draw 'rectangle 0,0 63,11' \\) -compose CopyOpacity -composite " +
      ShellQuote(dir / "clear.gif"));
  // Three frames, red, green and blue: the first is the picture.
  RunCommand("convert -delay 10 -size 64x48 xc:red xc:green xc:blue " +
             ShellQuote(dir / "animated.gif"));
  RunCommand("convert -size 64x48 xc:red " + ShellQuote(dir / "red.png"));
  std::string album;
  for (const auto& picture : pictures) {
    if (picture.kind) test::MakeClearPng(dir / picture.name, 64, 48, *picture.kind);
    if (!album.empty()) album += "\f\r\n";
    for (const std::string& path : {dir / "red.png", dir / picture.name}) {
      album += "<img src=\"" + path + "\" left=36 top=36 width=256>\r\n";
    }
  }
  test::WriteFile(dir / "album.txt", album);
  test::BatchRuns batch;
  test::CommandResult r = batch.Run("-b6 " + ShellQuote(dir / "album.txt"));
  ASSERT_EQ(r.exit_code, 0) << r.error;
  const std::string pdf = dir / "album.pdf";
  ASSERT_TRUE(test::ExpectSoundPdf(pdf));
  // Said once a document, of the first picture it concerns.
  const std::string note = "its partial transparency was composed onto the page colour";
  EXPECT_NE(r.error.find("partial.png': " + note), std::string::npos) << r.error;
  EXPECT_EQ(r.error.find(note), r.error.rfind(note)) << r.error;

  const std::vector<test::PdfImageRow> rows = test::PdfImages(pdf);
  RunCommand("mkdir " + ShellQuote(dir / "out") + " && pdfimages -png " + ShellQuote(pdf) + " " +
             ShellQuote(dir / "out/img"));
  const std::vector<std::string> extracted = test::ListFolder(dir / "out");
  ASSERT_EQ(extracted.size(), rows.size());
  RunCommand("pdftoppm -r 72 -png " + ShellQuote(pdf) + " " + ShellQuote(dir / "page"));
  const std::string bytes = test::ReadFile(pdf);
  size_t row = 0;
  for (size_t k = 0; k < std::size(pictures); ++k) {
    const auto& picture = pictures[k];
    SCOPED_TRACE(picture.name);
    const std::string source = dir / picture.name + (k + 1 == std::size(pictures) ? "[0]" : "");
    // The red picture below, then this one and its mask.
    ASSERT_LT(row + 1, rows.size());
    const test::PdfImageRow& image = rows[row + 1];
    EXPECT_EQ(image.page, static_cast<int>(k + 1));
    EXPECT_EQ(image.color, picture.color);
    if (picture.bpc != 0) {
      EXPECT_EQ(image.bpc, picture.bpc);
    }
    const bool stencil = row + 2 < rows.size() && rows[row + 2].type == "mask";
    EXPECT_EQ(stencil, picture.masking == 's');
    // The picture's colours are those of the picture on the page: its clear parts hold the page
    // colour, so that a reader that ignores masks shows the page there.
    const std::string on_page = dir / "on-page.png";
    RunCommand("convert " + ShellQuote(source) + " -background '#FFE600' -flatten " +
               ShellQuote(on_page));
    // (pdfimages writes a picture of 1 bit a sample as black and white, whatever its palette:
    // such a one is checked on the page alone.)
    if (image.bpc != 1 || image.color != "index") {
      EXPECT_EQ(DifferingPixels(dir / ("out/" + extracted[row + 1]), on_page,
                                picture.masking == 'c' ? "0.5%" : "0"),
                0);
    }
    // The page shows red where a mask leaves the picture out. (Boxes of 8 x 8 pixels of the
    // picture, averaged: a black and white checkerboard is grey at any scale.)
    const std::string expected = dir / "expected.png", shown = dir / "shown.png";
    if (picture.masking == 'k' || picture.masking == 's') {
      RunCommand("convert " + ShellQuote(dir / "red.png") + " " + ShellQuote(source) +
                 " -composite -scale 8x6! " + ShellQuote(expected));
    } else {
      RunCommand("convert " + ShellQuote(on_page) + " -scale 8x6! " + ShellQuote(expected));
    }
    char page[32];
    std::snprintf(page, sizeof page, "page-%02zu.png", k + 1);
    RunCommand("convert " + ShellQuote(dir / page) + " -crop 256x192+36+36 +repage -scale 8x6! " +
               ShellQuote(shown));
    EXPECT_LT(MeanDifference(shown, expected), 0.02);
    row += stencil ? 3 : 2;
  }
  EXPECT_EQ(row, rows.size());
  EXPECT_NE(bytes.find("/Mask [ 15 15 ]"), std::string::npos);
  EXPECT_NE(bytes.find("/Mask [ 255 255 230 230 0 0 ]"), std::string::npos);
  EXPECT_NE(bytes.find("/ImageMask true"), std::string::npos);
}

}  // namespace
}  // namespace vellumox
