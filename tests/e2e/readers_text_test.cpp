// Text as its readers write it: numbers in order, one face a word, the face of each script,
// right-to-left lines whole and at the right margin, tab stops and soft hyphens; checked by
// what a reader sees (pdftoppm), copies (pdftotext) and where each word stands (-bbox).
#include <gtest/gtest.h>

#include <regex>

#include "support/test_support.h"

namespace vellumox {
namespace {

using test::RunCommand;
using test::ShellQuote;
using test::TempDir;

using Batch = test::BatchRuns;
const auto Sound = test::ExpectSoundPdf;

bool Holds(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// A word of pdftotext -bbox: its text and box, in points from the top-left corner.
struct Box {
  std::string text;
  double left = 0, top = 0, right = 0, bottom = 0;
};
std::vector<Box> Words(const std::string& pdf, int page = 1) {
  const std::string p = std::to_string(page);
  const std::string xml =
      RunCommand("pdftotext -f " + p + " -l " + p + " -bbox " + ShellQuote(pdf) + " -").output;
  std::regex word(
      "xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\">([^<]*)<");
  std::vector<Box> words;
  for (auto it = std::sregex_iterator(xml.begin(), xml.end(), word); it != std::sregex_iterator();
       ++it) {
    words.push_back({(*it)[5], std::stod((*it)[1]), std::stod((*it)[2]), std::stod((*it)[3]),
                     std::stod((*it)[4])});
  }
  return words;
}

// The PDF's bytes with the creation date masked.
std::string Masked(const std::string& pdf) {
  return test::PdfFile::Load(pdf).MaskedBytes();
}

// --- Numbers ---------------------------------------------------------------------------------

// Arabic-Indic and Persian digits stand at a left-to-right level wherever they are: a number
// reads in its own order in right-to-left text and in left-to-right text alike.
TEST(ReadersText, NumbersReadInTheirOwnOrder) {
  TempDir dir;
  Batch batch;
  test::WriteFile(dir / "n.txt",
                  "\xD9\x81\xD9\x8A \xD8\xB9\xD8\xA7\xD9\x85 \xD9\xA1\xD9\xA9\xD9\xA4\xD9\xA8 "
                  "\xD8\xA8\xD9\x84\xD8\xBA \xD9\xA1\xD9\xA0\xD9\xA5 \xD8\xA3\xD9\x8A "
                  "\xD9\xA3\xD9\xAB\xD9\xA5\xD9\xAA.\n"
                  "Version \xD9\xA1\xD9\xA2\xD9\xA3 of the file, page \xDB\xB4\xDB\xB5\xDB\xB6.\n");
  auto r = batch.Run(ShellQuote(dir / "n.txt"));
  ASSERT_EQ(r.exit_code, 0) << r.error;
  Sound(dir / "n.pdf");
  const std::string text = test::PdfToText(dir / "n.pdf");
  for (const char* number : {"\xD9\xA1\xD9\xA9\xD9\xA4\xD9\xA8",  // 1948
                             "\xD9\xA1\xD9\xA0\xD9\xA5",          // 105
                             "\xD9\xA3\xD9\xAB\xD9\xA5",          // 3.5
                             "\xD9\xA1\xD9\xA2\xD9\xA3",          // 123
                             "\xDB\xB4\xDB\xB5\xDB\xB6"}) {       // 456
    EXPECT_TRUE(Holds(text, number)) << number << "\n" << text;
  }
}

// --- The markup wrap at the edge -------------------------------------------------------------

TEST(ReadersText, OneCharacterThatDoesNotFitMovesToTheNextLine) {
  TempDir dir;
  Batch batch;
  test::WriteFile(dir / "edge.txt", "aaaaaaaaaa" + std::string(100, ' ') + "<b>x</b>\r\n" +
                                        "aaaaaaaaaa" + std::string(100, ' ') + "<br>y\r\n");
  auto r = batch.Run("-f0 -s6 -m4 " + ShellQuote(dir / "edge.txt"));
  ASSERT_EQ(r.exit_code, 0) << r.error;
  // Each stands on the page (a reader drops what stands past its edge), within the margin.
  int found = 0;
  for (const Box& word : Words(dir / "edge.pdf")) {
    EXPECT_LE(word.right, 612 - 72 + 0.5) << word.text;
    found += word.text == "x" || word.text == "y";
  }
  EXPECT_EQ(found, 2);
}

// --- One document, one frame -----------------------------------------------------------------

// Characters that normalisation turns into Windows-1252 ones, and characters that stand in tags
// alone, never make a document of embedded faces: its bytes are those of the same document
// typed in Windows-1252.
TEST(ReadersText, TwinsAndTagsKeepTheBytesOfWindows1252) {
  TempDir dir;
  Batch batch;
  struct Case {
    const char* name;
    std::string utf8;
    std::string same;  // the same document, typed so
  };
  const Case cases[] = {
      {"Kelvin and Angstrom signs", "300 \xE2\x84\xAA is cold; 1 \xE2\x84\xAB = 0.1 nm\r\n",
       "300 K is cold; 1 \xC3\x85 = 0.1 nm\r\n"},
      {"a character in a tag", "a <font face=\xCE\xA9>b</font> c\r\n",
       "a <font face=?>b</font> c\r\n"},
      {"a picture name in a tag", "<b>x</b> <img src=\"\xCE\xA9.jpg\"> y\r\n",
       "<b>x</b> <img src=\"?.jpg\"> y\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::WriteFile(dir / "u.txt", c.utf8);
    test::WriteFile(dir / "w.txt", c.same);
    const int status = batch.Run(ShellQuote(dir / "u.txt")).exit_code;
    EXPECT_EQ(status, batch.Run(ShellQuote(dir / "w.txt")).exit_code);
    EXPECT_EQ(Masked(dir / "u.pdf"), Masked(dir / "w.pdf"));
  }
}

}  // namespace
}  // namespace vellumox
