// Converts real-looking text files with the built vellumox and reads the PDFs back.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <regex>
#include <sstream>

#include "support/test_support.h"

namespace vellumox {
namespace {

using test::RunCommand;
using test::ShellQuote;
using test::TempDir;
using test::WriteFile;

struct Converted {
  int exit_code;
  std::string error;
  std::string text;  // pdftotext of the PDF
};

// Lines are wrapped by a character count, not by glyph widths, so a line may reach past the right
// edge; reading a larger area than the page keeps pdftotext from cutting it off.
Converted Convert(const TempDir& dir, const std::string& name, const std::string& bytes) {
  WriteFile(dir / name, bytes);
  auto r = RunCommand(test::VellumoxCommand(dir / "config") + " " + ShellQuote(dir / name));
  Converted c{r.exit_code, r.error, ""};
  std::string pdf = dir / (name.substr(0, name.rfind('.')) + ".pdf");
  if (r.exit_code == 0 || r.exit_code == 3) {  // 3: written, with a picture left out
    std::string details;
    EXPECT_TRUE(test::QpdfCheckClean(pdf, &details)) << name << ": " << details;
    c.text = test::PdfToText(pdf, "-x 0 -y 0 -W 5000 -H 5000");
  }
  return c;
}

// A string literal with its NUL bytes.
template <size_t N>
std::string Bytes(const char (&literal)[N]) {
  return std::string(literal, N - 1);
}

std::string WithoutBlanks(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c != ' ' && c != '\n' && c != '\r' && c != '\f' && c != '\t') out += c;
  }
  return out;
}

TEST(TextConversion, LongPlainTextKeepsEveryCharacter) {
  TempDir dir;
  std::mt19937 rng(7);
  const std::string words[] = {"alpha",      "beta,",  "gamma",  "delta.", "(epsilon)", "zeta\\eta",
                               "theta/iota", "kappa:", "lambda", "mu;",    "nu?"};
  std::string input;
  for (int line = 0; line < 3000; ++line) {
    int length = line % 50 == 0 ? 600 : 20 + static_cast<int>(rng() % 100);
    std::string text;
    while (static_cast<int>(text.size()) < length) text += words[rng() % 11] + " ";
    if (line % 97 == 0) text += std::string(300, 'x');  // no break character at all
    input += text + "\r\n";
  }
  Converted c = Convert(dir, "long.txt", input);
  ASSERT_EQ(c.exit_code, 0) << c.error;
  // The output is the input with page numbers between the pages.
  std::string in = WithoutBlanks(input), out = WithoutBlanks(c.text);
  size_t i = 0;
  for (char ch : out) {
    if (i < in.size() && ch == in[i]) {
      ++i;
    } else {
      ASSERT_TRUE(ch >= '0' && ch <= '9')
          << "unexpected '" << ch << "' where the input reads: " << in.substr(i, 40);
    }
  }
  EXPECT_EQ(i, in.size());
}

TEST(TextConversion, MarkupSampleWithEveryElement) {
  TempDir dir;
  std::string sample =
      "<h1>Heading one</h1>\r\n"
      "<H2>Blue heading</H2>\r\n"
      "Plain, <b>bold</b>, <i>italic</i>, <B>blue bold</B> and <I>blue italic</I>.\r\n"
      "<font color=red size=+2>red and larger</font> <font color=#008000>green</font>\r\n"
      "<font face=Helvetica bold>Helvetica bold</font> <font face=3>face three</font>\r\n"
      "<font color=darkblue size=8 italic>small navy italic</font>\r\n"
      "Name<tab left=200>Value<tab left=400>Total\r\n"
      "First paragraph.<p>Second paragraph.<br>A new line.\r\n"
      "Entities: &lt;b&gt; is not bold.\r\n"
      "<pagebreak>\r\n"
      "On page two.\r\n"
      "\fOn page three.\r\n"
      "<img src=\"missing.jpg\"> after a missing image\r\n";
  Converted c = Convert(dir, "markup.txt", sample);
  ASSERT_EQ(c.exit_code, 3) << c.error;  // the missing picture is left out, and said so
  EXPECT_NE(c.error.find("vellumox: picture 'missing.jpg' left out: no such file\n"),
            std::string::npos)
      << c.error;
  for (const char* piece : {"Heading one", "Blue heading", "bold", "italic", "red and larger",
                            "green", "Helvetica bold", "face three", "small navy italic", "Value",
                            "Total", "Second paragraph.", "A new line.", "<b> is not bold.",
                            "On page two.", "On page three.", "after a missing image"}) {
    EXPECT_NE(c.text.find(piece), std::string::npos) << piece << "\n" << c.text;
  }
  EXPECT_EQ(c.text.find("<h1>"), std::string::npos);
  EXPECT_EQ(std::count(c.text.begin(), c.text.end(), '\f'), 3);
}

TEST(TextConversion, CodePagesComeBackAsTheirCharacters) {
  TempDir dir;
  struct Case {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"cp1252.txt", "caf\xE9 na\xEFve \x80 5 \x96 \xA9\r\n"},
      {"utf8.txt", "caf\xC3\xA9 na\xC3\xAFve \xE2\x82\xAC 5 \xE2\x80\x93 \xC2\xA9\n"},
      {"utf8bom.txt",
       "\xEF\xBB\xBF"
       "caf\xC3\xA9 na\xC3\xAFve \xE2\x82\xAC 5 \xE2\x80\x93 \xC2\xA9"},
      {"utf16.txt", Bytes("\xFF\xFE"
                          "c\0a\0f\0\xE9\0 \0n\0a\0\xEF\0v\0e\0 \0\xAC\x20 \0"
                          "5\0 \0\x13\x20 \0\xA9\0\r\0\n\0")},
  };
  for (const Case& k : cases) {
    Converted c = Convert(dir, k.name, k.bytes);
    ASSERT_EQ(c.exit_code, 0) << k.name << c.error;
    EXPECT_NE(c.text.find("caf\xC3\xA9 na\xC3\xAFve \xE2\x82\xAC 5 \xE2\x80\x93 \xC2\xA9"),
              std::string::npos)
        << k.name << ": " << c.text;
  }
  // Characters that Windows-1252 lacks come back too, from an embedded face.
  Converted polish = Convert(dir, "pl.txt",
                             "\xC5\x81\xC3\xB3"
                             "d\xC5\xBA\n");
  EXPECT_NE(polish.text.find("\xC5\x81\xC3\xB3"
                             "d\xC5\xBA"),
            std::string::npos)
      << polish.text;
}

using test::InkOfWords;
using Word = test::WordInk;

// Text in every script: each comes back from the PDF, in every class and style of the standard
// fonts, from faces embedded as subsets; a document of Windows-1252 alone embeds nothing.
TEST(TextConversion, EveryScriptComesBackFromEmbeddedSubsets) {
  TempDir dir;
  const char* const texts[] = {
      "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 \xD0\xBC\xD0\xB8\xD1\x80",  // Cyrillic
      "\xCE\x95\xCE\xBB\xCE\xBB\xCE\xB7\xCE\xBD\xCE\xB9\xCE\xBA\xCE\xAC",           // Greek
      "\xE4\xB8\xAD\xE6\x96\x87",                                                   // Chinese
      "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E",                                       // Japanese
      "\xED\x95\x9C\xEA\xB5\xAD\xEC\x96\xB4",                                       // Korean
      "\xC5\x81\xC3\xB3"
      "d\xC5\xBA",  // Latin beyond Windows-1252
  };
  std::string line;
  for (const char* text : texts) line += std::string(text) + " ";
  for (const char* font : {"-f0", "-f4", "-f12"}) {
    const std::string input = "x <b>" + line + "</b> <i>" + line + "</i> " + line + "\r\n";
    WriteFile(dir / "s.txt", input);
    auto r = RunCommand(test::VellumoxCommand(dir / "config") + " " + font + " " +
                        ShellQuote(dir / "s.txt"));
    ASSERT_EQ(r.exit_code, 0) << font << r.error;
    std::string details;
    EXPECT_TRUE(test::QpdfCheckClean(dir / "s.pdf", &details)) << font << details;
    const std::string text = test::PdfToText(dir / "s.pdf", "-x 0 -y 0 -W 5000 -H 5000");
    for (const char* expected : texts) {
      EXPECT_NE(text.find(expected), std::string::npos) << font << ": " << expected << "\n" << text;
    }
    const std::string fonts = RunCommand("pdffonts " + ShellQuote(dir / "s.pdf")).output;
    EXPECT_NE(fonts.find("CID TrueType      Identity-H       yes yes yes"), std::string::npos)
        << fonts;
    // Every word stands where its glyphs are drawn: ink in its box, in any face.
    const auto words = InkOfWords(dir / "s.pdf", dir.path());
    EXPECT_GE(words.size(), 1 + 3 * std::size(texts)) << font;
    for (const Word& word : words) EXPECT_GT(word.dark, 10) << font << ": " << word.text;
  }
  // Document information keeps its characters; a character no font has is "?", named, status 3.
  WriteFile(dir / "m.txt", "a \xF1\x90\x80\x80 b\r\n");
  auto r = RunCommand(test::VellumoxCommand(dir / "config") + " -t" +
                      ShellQuote("\xD0\x9E\xD1\x82\xD1\x87\xD1\x91\xD1\x82") + " " +
                      ShellQuote(dir / "m.txt"));
  EXPECT_EQ(r.exit_code, 3) << r.error;
  EXPECT_NE(r.error.find("1 character could not be shown (no installed font has U+50000)"),
            std::string::npos)
      << r.error;
  EXPECT_NE(RunCommand("pdfinfo " + ShellQuote(dir / "m.pdf"))
                .output.find("\xD0\x9E\xD1\x82\xD1\x87\xD1\x91\xD1\x82"),
            std::string::npos);
  EXPECT_EQ(test::ReadFile(dir / "m.pdf").find("FontFile2"), std::string::npos);
}

// The width of the ink of an image (ImageMagick's trim), in pixels.
int InkWidth(const std::string& image_command) {
  return std::atoi(
      RunCommand(image_command + " | convert - -trim -format %w info:").output.c_str());
}

// Letters that join, reorder or stack are drawn as the shaper forms them; right-to-left words
// run from right to left, and numbers and Latin words within them keep their order.
TEST(TextConversion, ShapedScriptsAndRightToLeftLines) {
  TempDir dir;
  auto convert = [&](const std::string& text) {
    WriteFile(dir / "t.txt", text + "\r\n");
    auto r =
        RunCommand(test::VellumoxCommand(dir / "config") + " -s15 " + ShellQuote(dir / "t.txt"));
    EXPECT_EQ(r.exit_code, 0) << r.error;
    std::string details;
    EXPECT_TRUE(test::QpdfCheckClean(dir / "t.pdf", &details)) << details;
    std::vector<Word> words = InkOfWords(dir / "t.pdf", dir.path());
    words.pop_back();  // the page number
    for (const Word& word : words) EXPECT_GT(word.dark, 10) << word.text;
    return words;
  };
  const std::string hebrew1 = "\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D",
                    hebrew2 = "\xD7\xA2\xD7\x95\xD7\x9C\xD7\x9D";
  // Hebrew: the first word typed stands rightmost; pdftotext gives both back.
  std::vector<Word> words = convert(hebrew1 + " " + hebrew2);
  ASSERT_EQ(words.size(), 2u);
  EXPECT_GT(words[1].left, words[0].left);
  const std::string back = test::PdfToText(dir / "t.pdf");
  EXPECT_NE(back.find(hebrew1), std::string::npos) << back;
  EXPECT_NE(back.find(hebrew2), std::string::npos) << back;
  // A Latin line with Hebrew words and a number after them: the number goes with the Hebrew
  // (it follows right-to-left text), the words right to left, each word's letters too.
  auto reversed = [](const std::string& two_byte_letters) {
    std::string out;
    for (size_t i = two_byte_letters.size(); i >= 2; i -= 2)
      out += two_byte_letters.substr(i - 2, 2);
    return out;
  };
  words = convert("abc " + hebrew1 + " " + hebrew2 + " 123 def");
  ASSERT_EQ(words.size(), 5u);
  std::vector<double> left;
  std::vector<std::string> shown;
  for (const Word& word : words) {
    left.push_back(word.left);
    shown.push_back(word.text);
  }
  EXPECT_TRUE(std::is_sorted(left.begin(), left.end()));
  EXPECT_EQ(shown,
            (std::vector<std::string>{"abc", "123", reversed(hebrew2), reversed(hebrew1), "def"}));
  // Devanagari and Thai: ink where each word stands, and the clusters come back in the order
  // typed (pdftotext may put blanks between them).
  for (const std::string text :
       {"\xE0\xA4\xA8\xE0\xA4\xAE\xE0\xA4\xB8\xE0\xA5\x8D\xE0\xA4\xA4\xE0\xA5\x87 "
        "\xE0\xA4\x95\xE0\xA4\xBF\xE0\xA4\xA4\xE0\xA4\xBE\xE0\xA4\xAC",
        "\xE0\xB8\xA0\xE0\xB8\xB2\xE0\xB8\xA9\xE0\xB8\xB2\xE0\xB9\x84\xE0\xB8\x97"
        "\xE0\xB8\xA2 \xE0\xB8\xAA\xE0\xB8\xA7\xE0\xB8\xB1\xE0\xB8\xAA\xE0\xB8\x94"
        "\xE0\xB8\xB5"}) {
    EXPECT_GE(convert(text).size(), 2u);
    EXPECT_EQ(WithoutBlanks(test::PdfToText(dir / "t.pdf")), WithoutBlanks(text) + "1");
  }
  // Arabic: the letters joined as HarfBuzz joins them in the same face, which is far narrower
  // than the letters drawn apart.
  const std::string arabic = "\xD8\xA7\xD9\x84\xD8\xB9\xD8\xB1\xD8\xA8\xD9\x8A\xD8\xA9";
  ASSERT_EQ(convert(arabic).size(), 1u);
  const std::string fonts = RunCommand("pdffonts " + ShellQuote(dir / "t.pdf")).output;
  const size_t plus = fonts.find('+');
  ASSERT_NE(plus, std::string::npos) << fonts;
  const std::string name = fonts.substr(plus + 1, fonts.find(' ', plus) - plus - 1);
  const std::string face =
      RunCommand("fc-list -f '%{file}\\n' :postscriptname=" + ShellQuote(name)).output;
  if (RunCommand("command -v hb-view").exit_code != 0 || face.empty()) {
    GTEST_SKIP() << "hb-view (libharfbuzz-bin) is not installed, or no file holds " << name;
  }
  // 36 points at 144 dpi: 72 pixels.
  const std::string view =
      "hb-view --font-size=72 --margin=0 --output-format=png --output-file=- " +
      ShellQuote(face.substr(0, face.find('\n'))) + " " + ShellQuote(arabic);
  const int drawn = InkWidth("pdftoppm -r 144 -gray -singlefile -x 0 -y 0 -W 1224 -H 250 " +
                             ShellQuote(dir / "t.pdf"));
  const int joined = InkWidth(view), apart = InkWidth(view + " --features=-init,-medi,-fina");
  EXPECT_NEAR(drawn, joined, joined * 0.03) << "apart: " << apart;
  EXPECT_GT(std::abs(apart - joined), joined * 0.1);
}

TEST(TextConversion, EveryKindOfLineEnd) {
  TempDir dir;
  for (const char* end : {"\r\n", "\r", "\n"}) {
    std::string text = std::string("one") + end + "two" + end + "three" + end;
    Converted c = Convert(dir, "ends.txt", text);
    ASSERT_EQ(c.exit_code, 0);
    EXPECT_EQ(c.text.substr(0, 14), "one\ntwo\nthree\n") << c.text;
  }
}

TEST(TextConversion, EmptyFileIsNothingToConvert) {
  TempDir dir;
  Converted c = Convert(dir, "empty.txt", "");
  EXPECT_EQ(c.exit_code, 2);
  EXPECT_NE(c.error.find("empty.txt' is empty."), std::string::npos) << c.error;
  EXPECT_FALSE(test::PathExists(dir / "empty.pdf"));
}

TEST(TextConversion, NulAndControlBytesConvert) {
  TempDir dir;
  Converted c = Convert(dir, "nul.txt", Bytes("a\0b\x01\x1b[0m c\r\n\0\0\0\r\nend"));
  ASSERT_EQ(c.exit_code, 0) << c.error;
  EXPECT_NE(c.text.find("end"), std::string::npos);
}

}  // namespace
}  // namespace vellumox
