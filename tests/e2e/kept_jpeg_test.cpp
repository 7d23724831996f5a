// JPEGs at the best quality: embedded as they are (pdfimages gives back their own bytes), turned
// by the page, shown as ImageMagick shows the source, with their colour profiles; what a reader
// could not show as it is goes in encoded anew.
#include <gtest/gtest.h>

#include "support/picture_fixtures.h"
#include "support/test_support.h"

namespace vellumox {
namespace {

using test::Pixels;
using test::RunCommand;
using test::ShellQuote;
using test::TempDir;

using test::MeanDifference;

struct Kind {
  const char* name;
  Pixels pixels;
  test::JpegCoding coding;
  double tolerance;  // of MeanDifference
};

std::vector<Kind> Kinds() {
  test::JpegCoding baseline, progressive, icc;
  progressive.progressive = true;
  icc.icc_profile = test::MakeIccProfile(2);
  // Poppler and ImageMagick turn CMYK into RGB by different formulas: a wider margin there.
  return {{"baseline", Pixels::kRgb, baseline, 0.02},
          {"progressive", Pixels::kRgb, progressive, 0.02},
          {"grey", Pixels::kGrey, baseline, 0.02},
          {"cmyk", Pixels::kCmyk, baseline, 0.08},
          {"icc", Pixels::kRgb, icc, 0.03}};
}

// Every kind in every orientation: the album shows each as ImageMagick shows it upright, and
// holds its bytes unchanged.
TEST(KeptJpegs, EveryKindInEveryOrientationIsItselfAndUpright) {
  TempDir dir;
  std::vector<std::string> pictures;
  std::string album;
  for (const Kind& kind : Kinds()) {
    for (int orientation = 1; orientation <= 8; ++orientation) {
      test::JpegCoding coding = kind.coding;
      coding.orientation = orientation;
      // Stored 96 x 64, or 64 x 96 when the page turns it, so that it stands 96 x 64.
      const bool turned = orientation >= 5;
      const std::string path =
          dir / (std::string(kind.name) + std::to_string(orientation) + ".jpg");
      test::MakeJpeg(path, turned ? 64 : 96, turned ? 96 : 64, kind.pixels, coding, orientation);
      if (!album.empty()) album += "\f\r\n";
      // 288 x 192 points, at 36 points from the left and top edges.
      album += "<img src=\"" + path + "\" left=36 top=36 width=288>\r\n";
      pictures.push_back(path);
    }
  }
  test::WriteFile(dir / "album.txt", album);
  test::BatchRuns batch;
  test::CommandResult r = batch.Run("-n " + ShellQuote(dir / "album.txt"));
  ASSERT_EQ(r.exit_code, 0) << r.error;
  const std::string pdf = dir / "album.pdf";
  ASSERT_TRUE(test::ExpectSoundPdf(pdf));

  // Each JPEG comes back byte for byte.
  RunCommand("mkdir " + ShellQuote(dir / "out") + " && pdfimages -all " + ShellQuote(pdf) + " " +
             ShellQuote(dir / "out/img"));
  const std::vector<std::string> extracted = test::ListFolder(dir / "out");
  ASSERT_EQ(extracted.size(), pictures.size());
  for (size_t k = 0; k < pictures.size(); ++k) {
    EXPECT_EQ(extracted[k].substr(extracted[k].rfind('.')), ".jpg") << pictures[k];
    EXPECT_TRUE(test::ReadFile(dir / ("out/" + extracted[k])) == test::ReadFile(pictures[k]))
        << pictures[k];
  }

  // Each page shows the picture as ImageMagick shows it upright.
  RunCommand("pdftoppm -r 72 -png " + ShellQuote(pdf) + " " + ShellQuote(dir / "page"));
  size_t k = 0;
  for (const Kind& kind : Kinds()) {
    for (int orientation = 1; orientation <= 8; ++orientation, ++k) {
      SCOPED_TRACE(std::string(kind.name) + " " + std::to_string(orientation));
      char page[32];
      std::snprintf(page, sizeof page, "page-%02zu.png", k + 1);
      const std::string shown = dir / "shown.png", source = dir / "source.png";
      RunCommand("convert " + ShellQuote(dir / page) +
                 " -crop 288x192+36+36 +repage -resize 48x32! " + ShellQuote(shown));
      RunCommand("convert " + ShellQuote(pictures[k]) +
                 " -auto-orient -colorspace sRGB -type TrueColor -resize 48x32! " +
                 ShellQuote(source));
      // Measured: 0.003 to 0.013 (0.036 to 0.052 for CMYK); a picture turned the wrong way
      // gives 0.24 or more.
      EXPECT_LT(MeanDifference(shown, source), kind.tolerance);
    }
  }
  // One profile, written once for the eight pictures that carry it.
  const std::string bytes = test::ReadFile(pdf);
  size_t profiles = 0;
  for (size_t at = bytes.find("/Alternate /DeviceRGB"); at != std::string::npos;
       at = bytes.find("/Alternate /DeviceRGB", at + 1)) {
    ++profiles;
  }
  EXPECT_EQ(profiles, 1u);
  EXPECT_NE(bytes.find("/ColorSpace /DeviceCMYK /Decode [1 0 1 0 1 0 1 0]"), std::string::npos);
}

// The profile goes in whole, as an ICCBased colour space, when a PDF 1.3 takes it (version 2);
// a version 4 profile is left out.
TEST(KeptJpegs, ColourProfilesOfVersion2GoWithTheirPictures) {
  TempDir dir;
  for (int version : {2, 4}) {
    SCOPED_TRACE(version);
    test::JpegCoding coding;
    coding.icc_profile = test::MakeIccProfile(version, true, 70000);  // two APP2 chunks
    test::MakeJpeg(dir / "grey.jpg", 64, 48, Pixels::kGrey, coding);
    test::BatchRuns batch;
    test::CommandResult r =
        batch.Run("-o " + ShellQuote(dir / "grey.pdf") + " " + ShellQuote(dir / "grey.jpg"));
    ASSERT_EQ(r.exit_code, 0) << r.error;
    ASSERT_TRUE(test::ExpectSoundPdf(dir / "grey.pdf"));
    // Uncompressed, the profile stands in the file as it is.
    RunCommand("qpdf --qdf --object-streams=disable " + ShellQuote(dir / "grey.pdf") + " " +
               ShellQuote(dir / "qdf.pdf"));
    const std::string qdf = test::ReadFile(dir / "qdf.pdf");
    const std::string bytes = test::ReadFile(dir / "grey.pdf");
    if (version == 2) {
      EXPECT_NE(bytes.find("/ColorSpace [ /ICCBased "), std::string::npos);
      EXPECT_NE(bytes.find("/N 1 /Alternate /DeviceGray /Filter /FlateDecode"), std::string::npos);
      EXPECT_NE(qdf.find(coding.icc_profile), std::string::npos);
    } else {
      EXPECT_EQ(bytes.find("/ICCBased"), std::string::npos);
      EXPECT_NE(bytes.find("/ColorSpace /DeviceGray"), std::string::npos);
    }
  }
}

// An arithmetic-coded JPEG is encoded anew (baseline, Huffman), as is every JPEG below the best
// quality; "Do not recompress JPG files" keeps a JPEG below it.
TEST(KeptJpegs, WhatAReaderCannotShowAsItIsIsEncodedAnew) {
  TempDir dir;
  test::JpegCoding arithmetic;
  arithmetic.arithmetic = true;
  test::MakeJpeg(dir / "arith.jpg", 64, 48, Pixels::kRgb, arithmetic);
  test::MakeJpeg(dir / "plain.jpg", 64, 48);
  struct Case {
    const char* name;
    const char* switches;
    bool kept;
  } cases[] = {{"arith.jpg", "", false},
               {"plain.jpg", "", true},
               {"plain.jpg", "--jpeg-quality=99", false},
               {"plain.jpg", "--jpeg-quality=99 --keep-jpeg", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " " + c.switches);
    test::BatchRuns batch;
    test::CommandResult r = batch.Run(std::string(c.switches) + " -o " +
                                      ShellQuote(dir / "out.pdf") + " " + ShellQuote(dir / c.name));
    ASSERT_EQ(r.exit_code, 0) << r.error;
    ASSERT_TRUE(test::ExpectSoundPdf(dir / "out.pdf"));
    const bool kept =
        test::ReadFile(dir / "out.pdf").find(test::ReadFile(dir / c.name)) != std::string::npos;
    EXPECT_EQ(kept, c.kept);
    if (!c.kept) {
      // It looks as the source does, all the same.
      const std::string source = dir / "source.png";
      RunCommand("pdfimages -png " + ShellQuote(dir / "out.pdf") + " " + ShellQuote(dir / "img"));
      RunCommand("convert " + ShellQuote(dir / c.name) + " " + ShellQuote(source));
      EXPECT_LT(MeanDifference(dir / "img-000.png", source), 0.02);
    }
  }
}

}  // namespace
}  // namespace vellumox
