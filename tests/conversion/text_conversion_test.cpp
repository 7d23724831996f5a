#include <gtest/gtest.h>

#include <cstdlib>

#include "conversion/conversion.h"
#include "support/test_settings.h"
#include "support/test_support.h"

namespace vellumox {
namespace {

using test::PdfFile;
using test::TempDir;
using test::WriteFile;

ConversionSettings Settings(const std::string& output) {
  return test::CourierSettings(10, output);
}

// A writer with the line layout and no pictures.
struct Text {
  DocumentWriter writer;
  LineLayout layout{writer};
  bool Convert(const std::string& input, const ConversionSettings& settings) {
    return ConvertText(input, settings, writer, layout, nullptr);
  }
};

TEST(ConvertText, MissingOrEmptyInputIsReportedAndWritesNothing) {
  TempDir dir;
  WriteFile(dir / "empty.txt", "");
  WriteFile(dir / "out.pdf", "earlier");
  for (std::string input : {dir / "missing.txt", dir / "empty.txt", dir.path()}) {
    Text t;
    DocumentWriter& w = t.writer;
    EXPECT_FALSE(t.Convert(input, Settings(dir / "out.pdf")));
    EXPECT_EQ(w.Failure().message, "File '" + input + "' does not exist.");
    EXPECT_EQ(w.Failure().kind, FailureKind::kInputMissing);
    EXPECT_EQ(test::ReadFile(dir / "out.pdf"), "earlier");
  }
}

TEST(ConvertText, EveryLineReachesThePage) {
  TempDir dir;
  WriteFile(dir / "in.txt", "one\r\ntwo (2)\rthree \\\nfour   \r\n");
  Text t;
  DocumentWriter& w = t.writer;
  ASSERT_TRUE(t.Convert(dir / "in.txt", Settings(dir / "out.pdf"))) << w.Failure().message;
  std::vector<std::string> lines = PdfFile::Load(dir / "out.pdf").PageContentLines(1);
  std::vector<std::string> text(lines.begin() + 12, lines.begin() + 16);
  EXPECT_EQ(text,
            (std::vector<std::string>{"(one)'", "(two \\(2\\))'", "(three \\\\)'", "(four)'"}));
  EXPECT_EQ(test::PdfToText(dir / "out.pdf").substr(0, 25), "one\ntwo (2)\nthree \\\nfour\n");
}

TEST(ConvertText, FullPagesAndFormFeedsBreakThePage) {
  TempDir dir;
  std::string text;
  for (int i = 1; i <= 100; ++i) text += "line " + std::to_string(i) + "\r\n";
  text += "\fafter feed\r\n";
  WriteFile(dir / "in.txt", text);
  Text t;
  ASSERT_TRUE(t.Convert(dir / "in.txt", Settings(dir / "out.pdf")));
  PdfFile pdf = PdfFile::Load(dir / "out.pdf");
  // 60 lines per page: a page holds 59, the 60th starts the next page.
  EXPECT_NE(pdf.bytes().find("/Count 3\r"), std::string::npos);
  std::string page2 = test::PdfToText(dir / "out.pdf", "-f 2 -l 2");
  EXPECT_EQ(page2.substr(0, 8), "line 60\n");
  std::string page3 = test::PdfToText(dir / "out.pdf", "-f 3 -l 3");
  EXPECT_NE(page3.find("after feed"), std::string::npos);
  std::string details;
  EXPECT_TRUE(test::QpdfCheckClean(dir / "out.pdf", &details)) << details;
}

TEST(ConvertText, SameInputTwiceDiffersOnlyInTheCreationDate) {
  TempDir dir;
  WriteFile(dir / "in.txt", "alpha\r\nbeta\r\n");
  Text t;
  ASSERT_TRUE(t.Convert(dir / "in.txt", Settings(dir / "a.pdf")));
  ASSERT_TRUE(t.Convert(dir / "in.txt", Settings(dir / "b.pdf")));
  EXPECT_EQ(PdfFile::Load(dir / "a.pdf").MaskedBytes(), PdfFile::Load(dir / "b.pdf").MaskedBytes());
}

TEST(ConvertText, MatchesTheGoldenFile) {
  // The whole file, byte for byte; set VELLUMOX_UPDATE_GOLDEN=1 to write it anew after a
  // deliberate change of the output.
  TempDir dir;
  WriteFile(dir / "in.txt", "Golden (file) \\ test\r\nsecond line\r\n\fthird page\r\n");
  ConversionSettings s = Settings(dir / "out.pdf");
  s.TextAuthor = "Author";
  s.TextTitle = "Title";
  s.TransitionMode = 3;
  Text t;
  ASSERT_TRUE(t.Convert(dir / "in.txt", s));
  std::string actual = PdfFile::Load(dir / "out.pdf").MaskedBytes();
  std::string golden_path = std::string(VELLUMOX_SOURCE_DIR) + "/tests/golden/writer_plain.pdf";
  if (std::getenv("VELLUMOX_UPDATE_GOLDEN")) WriteFile(golden_path, actual);
  EXPECT_TRUE(actual == test::ReadFile(golden_path)) << "differs from " << golden_path;
}

}  // namespace
}  // namespace vellumox
