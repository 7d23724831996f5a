// Documents with pictures of every format, albums, bad pictures and very large pictures, read
// back with pdfimages and qpdf.
#include <gtest/gtest.h>

#include <sstream>

#include "conversion/conversion.h"
#include "support/picture_fixtures.h"
#include "support/test_support.h"

namespace vellumox {
namespace {

using test::Pixels;
using test::TempDir;

using ImageRow = test::PdfImageRow;
const auto ListImages = test::PdfImages;

std::string AlbumOf(const std::vector<std::string>& paths) {
  std::string list;
  for (size_t i = 0; i < paths.size(); ++i) {
    if (i > 0) list += "\f\r\n";
    list += "<img src=\"" + paths[i] + "\">\r\n";
  }
  return list;
}

// Converts with the program; the status is 0, or 3 when pictures are expected to be left out.
test::CommandResult ConvertWithProgram(const TempDir& dir, const std::string& name,
                                       const std::string& text, int status = 0) {
  test::WriteFile(dir / name, text);
  auto r =
      test::RunCommand(test::VellumoxCommand(dir / "config") + " " + test::ShellQuote(dir / name));
  EXPECT_EQ(r.exit_code, status) << r.error;
  std::string pdf = dir / (name.substr(0, name.rfind('.')) + ".pdf");
  std::string details;
  EXPECT_TRUE(test::QpdfCheckClean(pdf, &details)) << details;
  return r;
}

TEST(PictureConversion, AlbumOfEveryFormat) {
  TempDir dir;
  test::MakeJpeg(dir / "a.jpg", 320, 240);
  test::MakeJpeg(dir / "grey.jpg", 320, 240, Pixels::kGrey);
  test::MakePng(dir / "b.png", 200, 150, Pixels::kRgba);
  test::MakeWithMagick(dir / "c.gif", "GIF", 120, 90);
  test::MakeWithMagick(dir / "d.bmp", "BMP", 120, 90);
  test::MakeRleBitmap(dir / "e.rle", 120, 90);
  test::MakeWithMagick(dir / "f.ico", "ICO", 48, 48);
  test::MakeWithMagick(dir / "g.tif", "TIFF", 120, 90);
  test::MakeWithMagick(dir / "h.tga", "TGA", 120, 90);
  test::MakeWithMagick(dir / "i.pcx", "PCX", 120, 90);
  test::MakeWithMagick(dir / "j.psd", "PSD", 120, 90);
  test::MakeWithMagick(dir / "k.png", "PNG", 120, 90, true);  // grey
  test::MakeWmf(dir / "l.wmf", 2, 1);
  test::MakeEmf(dir / "m.emf", 25.4, 50.8);
  std::vector<std::string> names = {"a.jpg", "grey.jpg", "b.png", "c.gif", "d.bmp",
                                    "e.rle", "f.ico",    "g.tif", "h.tga", "i.pcx",
                                    "j.psd", "k.png",    "l.wmf", "m.emf"};
  std::vector<std::string> paths;
  for (const auto& n : names) paths.push_back(dir / n);
  ASSERT_EQ(ConvertWithProgram(dir, "album.txt", AlbumOf(paths)).exit_code, 0);
  std::vector<ImageRow> rows = ListImages(dir / "album.pdf");
  // At the best quality a palette picture keeps its palette.
  const struct {
    int page, width, height;
    const char* color;
  } expected[] = {
      {1, 320, 240, "rgb"}, {2, 320, 240, "gray"}, {3, 200, 150, "rgb"}, {4, 120, 90, "index"},
      {5, 120, 90, "rgb"},  {6, 120, 90, "index"}, {7, 48, 48, "rgb"},   {8, 120, 90, "rgb"},
      {9, 120, 90, "rgb"},  {10, 120, 90, "rgb"},  {11, 120, 90, "rgb"}, {12, 120, 90, "gray"},
      {13, 192, 96, "rgb"}, {14, 96, 192, "rgb"},
  };
  ASSERT_EQ(rows.size(), std::size(expected));
  for (size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(rows[i].page, expected[i].page) << names[i];
    EXPECT_EQ(rows[i].width, expected[i].width) << names[i];
    EXPECT_EQ(rows[i].height, expected[i].height) << names[i];
    EXPECT_EQ(rows[i].color, expected[i].color) << names[i];
  }
}

TEST(PictureConversion, BadPicturesAreLeftOutAndTheRestConverts) {
  TempDir dir;
  test::MakeJpeg(dir / "good.jpg", 100, 80);
  std::string jpeg = test::ReadFile(dir / "good.jpg");
  test::WriteFile(dir / "cut.jpg", jpeg.substr(0, jpeg.size() / 2));
  test::WriteFile(dir / "zero.jpg", "");
  test::MakePng(dir / "png.jpg", 60, 40);  // converts: the bytes tell it is a PNG
  std::string png = test::ReadFile(dir / "png.jpg");
  std::string bogus = png;
  bogus.replace(12, 4, "XXXX");
  test::WriteFile(dir / "bogus.png", bogus);
  std::string huge = png;
  huge.replace(16, 8, std::string("\x00\x01\x86\xA0\x00\x01\x86\xA0", 8));
  test::WriteFile(dir / "huge.png", huge);
  test::WriteFile(dir / "ps.png",
                  "%!PS-Adobe-3.0\n/Times findfont 12 scalefont setfont\nshowpage\n");
  test::WriteFile(dir / "svg.png",
                  "<?xml version=\"1.0\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" "
                  "width=\"10\" height=\"10\"/>\n");
  std::vector<std::string> paths;
  for (const char* n : {"cut.jpg", "zero.jpg", "bogus.png", "huge.png", "ps.png", "svg.png",
                        "good.jpg", "png.jpg"}) {
    paths.push_back(dir / n);
  }
  test::CommandResult r = ConvertWithProgram(dir, "bad.txt", AlbumOf(paths), 3);
  // Each picture left out is named once, with its reason; the PDF holds the others.
  for (const char* line :
       {"cut.jpg' left out: ", "zero.jpg' left out: the file is empty",
        "bogus.png' left out: ", "huge.png' left out: ", "ps.png' left out: not a PNG file",
        "svg.png' left out: not a PNG file"}) {
    EXPECT_NE(r.error.find(line), std::string::npos) << line << "\n" << r.error;
  }
  EXPECT_EQ(r.error.find("good.jpg' left out"), std::string::npos);
  std::vector<ImageRow> rows = ListImages(dir / "bad.pdf");
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].page, 7);
  EXPECT_EQ(rows[0].width, 100);
  EXPECT_EQ(rows[1].page, 8);
  EXPECT_EQ(rows[1].width, 60);
}

TEST(PictureConversion, TextWithImageTags) {
  TempDir dir;
  test::MakeJpeg(dir / "photo (1).jpg", 800, 600);
  ASSERT_EQ(
      ConvertWithProgram(dir, "text.txt",
                         "<h2>Holiday</h2>\r\n<img src=\"photo (1).jpg\">\r\nThe beach.\r\n"
                         "<img src=\"photo (1).jpg\" width=100 height=75 top=600 left=400>\r\n")
          .exit_code,
      0);
  std::vector<ImageRow> rows = ListImages(dir / "text.pdf");
  ASSERT_EQ(rows.size(), 2u);  // one object drawn twice
  EXPECT_EQ(rows[0].width, 800);
  std::string text = test::PdfToText(dir / "text.pdf");
  EXPECT_NE(text.find("The beach."), std::string::npos);
}

// A single input is a picture when its name or its bytes say so; text that merely starts like
// a picture stays text.
TEST(PictureConversion, PicturesByAnyNameAndTextThatStartsLikeOne) {
  TempDir dir;
  test::MakeJpeg(dir / "a.jpeg", 64, 48);
  test::MakeJpeg(dir / "b.jpe", 64, 48);
  test::MakeJpeg(dir / "c.JFIF", 64, 48);
  test::MakeWithMagick(dir / "d.tiff", "TIFF", 64, 48);
  test::MakeJpeg(dir / "scan.txt", 64, 48);
  test::MakeWithMagick(dir / "e.dat", "BMP", 64, 48);
  test::WriteFile(dir / "bm.txt", "BMW and BMX bikes: the makes we sell, nothing more.\r\n");
  test::WriteFile(dir / "gif.txt", "GIF89a is the name of a picture format, nothing more.\r\n");
  struct Case {
    const char* input;
    const char* pdf;
    bool picture;
  } cases[] = {{"a.jpeg", "a.jpeg.pdf", true}, {"b.jpe", "b.jpe.pdf", true},
               {"c.JFIF", "c.JFIF.pdf", true}, {"d.tiff", "d.tiff.pdf", true},
               {"scan.txt", "scan.pdf", true}, {"e.dat", "e.dat.pdf", true},
               {"bm.txt", "bm.pdf", false},    {"gif.txt", "gif.pdf", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.input);
    auto r = test::RunCommand(test::VellumoxCommand(dir / "config") + " " +
                              test::ShellQuote(dir / c.input));
    EXPECT_EQ(r.exit_code, 0) << r.error;
    std::string details;
    ASSERT_TRUE(test::QpdfCheckClean(dir / c.pdf, &details)) << details;
    EXPECT_EQ(test::PdfPages(dir / c.pdf), 1);
    std::vector<ImageRow> rows = ListImages(dir / c.pdf);
    if (c.picture) {
      ASSERT_EQ(rows.size(), 1u);
      EXPECT_EQ(rows[0].width, 64);
      EXPECT_EQ(rows[0].height, 48);
    } else {
      EXPECT_TRUE(rows.empty());
      EXPECT_NE(test::PdfToText(dir / c.pdf).find("nothing more"), std::string::npos);
    }
  }
}

TEST(PictureConversion, VeryLargePicturesBecomeAPageEach) {
  TempDir dir;
  test::MakeJpeg(dir / "big.jpg", 12000, 9000, Pixels::kRgb, 75);
  test::MakePng(dir / "big.png", 10000, 10000);
  test::WriteFile(dir / "big.txt", AlbumOf({dir / "big.jpg", dir / "big.png"}));
  std::unique_ptr<ImageCodec> codec = MakeLibraryImageCodec();
  for (bool keep : {true, false}) {
    Conversion conversion(*codec);
    conversion.SetPictureOptions(PictureOptions{JpegOptions{75, keep}, false, ""});
    ConversionSettings settings;
    settings.outputfile = dir / "big.pdf";
    ConversionResult result = conversion.Convert(dir / "big.txt", settings);
    ASSERT_TRUE(result.written) << result.failure.message;
    std::string details;
    EXPECT_TRUE(test::QpdfCheckClean(dir / "big.pdf", &details)) << details;
    std::vector<ImageRow> rows = ListImages(dir / "big.pdf");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].width, 12000);
    EXPECT_EQ(rows[0].height, 9000);
    EXPECT_EQ(rows[1].width, 10000);
    EXPECT_EQ(rows[1].height, 10000);
    std::string pdf = test::ReadFile(dir / "big.pdf");
    EXPECT_EQ(pdf.find(test::ReadFile(dir / "big.jpg")) != std::string::npos, keep);
  }
}

}  // namespace
}  // namespace vellumox
