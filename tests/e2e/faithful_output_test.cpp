// What the user wrote is what the reader sees: plain text between the margins, document
// information in any language, photos upright, and the Parts' numbers exactly.
#include <gtest/gtest.h>

#include <cstdlib>

#include <regex>
#include <sstream>

#include "support/picture_fixtures.h"
#include "support/test_support.h"

namespace vellumox {
namespace {

using test::RunCommand;
using test::ShellQuote;
using test::TempDir;

struct Outcome {
  int status;
  std::string error;
};

Outcome Convert(const TempDir& dir, const std::string& switches, const std::string& name,
                const std::string& text) {
  test::WriteFile(dir / name, text);
  auto r = RunCommand(test::VellumoxCommand(dir / "config") + " " + switches + " " +
                      ShellQuote(dir / name));
  return {r.exit_code, r.error};
}

// The right end of the rightmost word that pdftotext finds, in points.
double RightmostWordEnd(const std::string& pdf) {
  std::string html = RunCommand("pdftotext -bbox " + ShellQuote(pdf) + " -").output;
  std::regex word("xMax=\"([0-9.]+)\"");
  double rightmost = 0;
  for (auto it = std::sregex_iterator(html.begin(), html.end(), word); it != std::sregex_iterator();
       ++it) {
    rightmost = std::max(rightmost, std::stod((*it)[1]));
  }
  return rightmost;
}

// --- 1. Plain text stays within the margins ---------------------------------------------------

TEST(TextWithinMargins, NoWordEndsPastTheRightMargin) {
  std::string prose;
  for (int i = 0; i < 40; ++i) {
    prose +=
        "Plain prose of ordinary words, with commas, full stops and the odd longer word "
        "such as incomprehensibilities, goes on line after line number " +
        std::to_string(i) + ".\r\n";
  }
  const std::string parens(300, '('), ws(300, 'W'), ls(300, 'l');
  // Words of other scripts drawn in embedded faces, and ideographs without blanks between them.
  std::string scripts, ideographs;
  for (int i = 0; i < 30; ++i) {
    scripts +=
        "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 \xCE\x95\xCE\xBB\xCE\xBB\xCE\xB7"
        "\xCE\xBD\xCE\xB9\xCE\xBA\xCE\xAC \xED\x95\x9C\xEA\xB5\xAD\xEC\x96\xB4 W\xC5\x81 ";
    ideographs += "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE4\xB8\xAD\xE6\x96\x87";
  }
  struct Case {
    const char* switches;  // first-start margins: 0.25" left, so the right margin is at 594
    std::string text;
  } cases[] = {
      {"-f0 -s6 -m1", prose},
      {"-f8 -s15 -m1", prose},
      {"-f4 -s6 -m1", parens},
      {"-f12 -s6 -m1", ws},
      {"-f12 -s6 -m1", ls},
      {"-f12 -s6 -m1", std::string(100, 'W')},  // fewer characters than the wrap width
      {"-f0 -s6 -m1", scripts},
      {"-f4 -s6 -m1", scripts + "\r\n" + ideographs},
      {"-f13 -s15 -m1", ideographs + "\r\n" + scripts},
  };
  int k = 0;
  for (const Case& c : cases) {
    TempDir dir;
    SCOPED_TRACE(c.switches + std::string(" ") + c.text.substr(0, 10));
    Outcome r = Convert(dir, c.switches, "t" + std::to_string(++k) + ".txt", c.text);
    ASSERT_EQ(r.status, 0) << r.error;
    const std::string pdf = dir / ("t" + std::to_string(k) + ".pdf");
    std::string details;
    EXPECT_TRUE(test::QpdfCheckClean(pdf, &details)) << details;
    EXPECT_LE(RightmostWordEnd(pdf), 612 - 18 + 0.01);
  }
}

TEST(TextWithinMargins, ADocumentWhoseLinesFitKeepsItsBytes) {
  // The golden PDFs were written before glyph widths were measured and before markup lines
  // wrapped: text, and markup of every kind (a tab tag included); the one line of layout_fits
  // with a tab character was written anew when tabs came to advance to their stops. tabs and
  // soft_hyphens pin those two: columns at stops every eight blanks, in plain and markup lines,
  // and soft hyphens drawn only where a line breaks at them. After a deliberate change of the
  // output, VELLUMOX_UPDATE_GOLDEN=1 writes them anew.
  for (const char* name : {"layout_fits", "markup_fits", "tabs", "soft_hyphens"}) {
    TempDir dir;
    const std::string golden = std::string(VELLUMOX_SOURCE_DIR) + "/tests/golden/" + name;
    RunCommand("cp " + ShellQuote(golden + ".txt") + " " + ShellQuote(dir / "fits.txt"));
    auto r = RunCommand(test::VellumoxCommand(dir / "config") + " " + ShellQuote(dir / "fits.txt"));
    ASSERT_EQ(r.exit_code, 0) << r.error;
    const std::string actual = test::PdfFile::Load(dir / "fits.pdf").MaskedBytes();
    if (std::getenv("VELLUMOX_UPDATE_GOLDEN")) test::WriteFile(golden + ".pdf", actual);
    EXPECT_TRUE(actual == test::ReadFile(golden + ".pdf")) << name;
    std::string details;
    EXPECT_TRUE(test::QpdfCheckClean(dir / "fits.pdf", &details)) << name << details;
  }
}

// A long markup line goes on to the next lines instead of past the margin, its words in order,
// each element's look carried on; a line of many elements breaks the page only where it is full.
TEST(TextWithinMargins, MarkupLinesWrapWithinTheMargins) {
  TempDir dir;
  test::MakeOrientedJpeg(dir / "pic.jpg", 40, 20, 0);
  std::string words;
  for (int i = 0; i < 12; ++i) words += "plain words number " + std::to_string(i) + " ";
  const std::string cyrillic = "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 ";
  std::string many;
  for (int i = 0; i < 400; ++i) many += "<b>x" + std::to_string(i) + "</b> ";
  const std::string lines[] = {
      words + "<b>" + words + "</b> <font color=red size=+4>" + words +
          "</font> <img src=\"pic.jpg\" width=40 height=20> " + words,
      "<i>" + cyrillic + cyrillic + words + cyrillic + words + "</i> " + words,
      "<b>" + std::string(400, 'W') + "</b> and the rest",
      many,
  };
  for (const std::string& line : lines) {
    SCOPED_TRACE(line.substr(0, 40));
    Outcome r = Convert(dir, "-s6 -m1", "m.txt", line + "\r\n");
    ASSERT_EQ(r.status, 0) << r.error;
    std::string details;
    EXPECT_TRUE(test::QpdfCheckClean(dir / "m.pdf", &details)) << details;
    EXPECT_LE(RightmostWordEnd(dir / "m.pdf"), 612 - 18 + 0.01);
    // Every word comes back, in the order typed.
    const std::string text = test::PdfToText(dir / "m.pdf");
    std::string typed = std::regex_replace(line, std::regex("<[^>]*>"), "");
    typed = std::regex_replace(typed, std::regex("[ \n\f]+"), "");
    EXPECT_EQ(std::regex_replace(text, std::regex("[ \n\f]+"), "").substr(0, typed.size()), typed);
    EXPECT_EQ(test::PdfPages(dir / "m.pdf"), 1);
  }
}

// --- 2. Document information shows the characters the user typed ---------------------------

TEST(DocumentInformation, ShowsTheCharactersTyped) {
  TempDir dir;
  // "€ “q”" and a plain Latin-1 subject.
  Outcome r = Convert(dir, "-t \"\xE2\x82\xAC \xE2\x80\x9Cq\xE2\x80\x9D\" -z \"Caf\xC3\xA9 (x)\"",
                      "info.txt", "text\r\n");
  ASSERT_EQ(r.status, 0) << r.error;
  std::string info = RunCommand("pdfinfo " + ShellQuote(dir / "info.pdf")).output;
  EXPECT_NE(info.find("Title:           \xE2\x82\xAC \xE2\x80\x9Cq\xE2\x80\x9D\n"),
            std::string::npos)
      << info;
  EXPECT_NE(info.find("Subject:         Caf\xC3\xA9 (x)\n"), std::string::npos) << info;
  const std::string bytes = test::ReadFile(dir / "info.pdf");
  EXPECT_NE(bytes.find("/Title <FEFF20AC0020201C0071201D>\r"), std::string::npos);
  EXPECT_NE(bytes.find("/Subject (Caf\xE9 \\(x\\))\r"), std::string::npos);
}

// --- 3. Photos stand upright ------------------------------------------------------------------

// The colour of a pixel of a page rendered at 72 dots per inch: the strongest channel.
char ColourAt(const std::string& png, int x, int y) {
  std::string rgb =
      RunCommand("convert " + ShellQuote(png) + " -format '%[fx:int(255*p{" + std::to_string(x) +
                 "," + std::to_string(y) + "}.r)] %[fx:int(255*p{" + std::to_string(x) + "," +
                 std::to_string(y) + "}.g)] %[fx:int(255*p{" + std::to_string(x) + "," +
                 std::to_string(y) + "}.b)]' info:")
          .output;
  std::istringstream in(rgb);
  int r = 0, g = 0, b = 0;
  in >> r >> g >> b;
  if (r > 200 && g > 200 && b > 200) return 'w';
  if (r > 200) return 'r';
  if (g > 200) return 'g';
  if (b > 200) return 'b';
  return '?';
}

// Each orientation, at the best quality (the JPEG goes in as it is and the page turns it), below
// it (decoded, turned and encoded again) and below it with "Do not recompress JPG files" (as it
// is again).
TEST(PhotosUpright, EveryOrientationShowsUpright) {
  TempDir dir;
  const struct {
    const char* switches;
    bool kept;
  } ways[] = {
      {"-n", true}, {"-n --jpeg-quality=50", false}, {"-n --jpeg-quality=50 --keep-jpeg", true}};
  for (int orientation = 1; orientation <= 8; ++orientation) {
    const std::string jpg = dir / ("o" + std::to_string(orientation) + ".jpg");
    // Upright it is 200 x 100: red, green above; blue, white below.
    test::MakeOrientedJpeg(jpg, 200, 100, orientation);
    for (const auto& way : ways) {
      SCOPED_TRACE(std::to_string(orientation) + " " + way.switches);
      Outcome r = Convert(dir, way.switches, "o.txt", "<img src=\"" + jpg + "\">\r\n");
      ASSERT_EQ(r.status, 0) << r.error;
      std::string details;
      EXPECT_TRUE(test::QpdfCheckClean(dir / "o.pdf", &details)) << details;
      const bool kept =
          test::ReadFile(dir / "o.pdf").find(test::ReadFile(jpg)) != std::string::npos;
      EXPECT_EQ(kept, way.kept);
      // First-start margins: the picture is 576 x 288 points from (18, 36).
      RunCommand("pdftoppm -r 72 -png -singlefile " + ShellQuote(dir / "o.pdf") + " " +
                 ShellQuote(dir / "page"));
      const std::string png = dir / "page.png";
      EXPECT_EQ(std::string() + ColourAt(png, 162, 108) + ColourAt(png, 450, 108) +
                    ColourAt(png, 162, 252) + ColourAt(png, 450, 252),
                "rgbw");
    }
  }
}

}  // namespace
}  // namespace vellumox
