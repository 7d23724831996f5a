// Text as its readers write it: numbers in order, one face a word, the face of each script,
// right-to-left lines whole and at the right margin, tab stops and soft hyphens; checked by
// what a reader sees (pdftoppm), copies (pdftotext) and where each word stands (-bbox).
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <regex>
#include <set>

#include "support/test_support.h"
#include "writer/code_page.h"

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

// What a page draws, run by run: the font resource of each string and the text it stands for
// (a standard font's bytes as Windows-1252, an embedded face's codes through its ToUnicode map).
struct Drawn {
  std::string font;  // "F0", "F21", ...
  std::string text;  // UTF-8
};
std::vector<Drawn> DrawnRuns(const std::string& pdf_path, int page = 1) {
  const test::PdfFile pdf = test::PdfFile::Load(pdf_path);
  const std::string& bytes = pdf.bytes();
  // Each embedded face's map from code to text.
  std::map<std::string, std::map<std::string, std::string>> unicode;
  std::smatch m;
  const std::regex resource("/(F[0-9]+) ([0-9]+) 0 R");
  for (auto it = std::sregex_iterator(bytes.begin(), bytes.end(), resource);
       it != std::sregex_iterator(); ++it) {
    const int object = std::stoi((*it)[2]);
    const int64_t at = pdf.ObjectOffset(object);
    if (at < 0) continue;
    const std::string head = bytes.substr(static_cast<size_t>(at), 400);
    std::smatch to_unicode;
    if (!std::regex_search(head, to_unicode, std::regex("/ToUnicode ([0-9]+) 0 R"))) continue;
    const std::string cmap = pdf.StreamData(std::stoi(to_unicode[1]));
    const std::regex entry("<([0-9A-F]{4})> <([0-9A-F]*)>");
    auto& map = unicode[(*it)[1]];
    for (auto e = std::sregex_iterator(cmap.begin(), cmap.end(), entry);
         e != std::sregex_iterator(); ++e) {
      const std::string hex = (*e)[2];
      std::u16string units;
      for (size_t k = 0; k + 4 <= hex.size(); k += 4) {
        units += static_cast<char16_t>(std::stoi(hex.substr(k, 4), nullptr, 16));
      }
      std::string utf8;
      for (size_t k = 0; k < units.size(); ++k) {
        char32_t c = units[k];
        if (c >= 0xD800 && c < 0xDC00 && k + 1 < units.size()) {
          c = 0x10000 + ((c - 0xD800) << 10) + (units[++k] - 0xDC00);
        }
        AppendUtf8(c, utf8);
      }
      map[(*e)[1]] = utf8;
    }
  }
  std::vector<Drawn> runs;
  std::string font = "F0";
  auto add = [&](const std::string& text) {
    if (!runs.empty() && runs.back().font == font) {
      runs.back().text += text;
    } else {
      runs.push_back({font, text});
    }
  };
  for (const std::string& line : pdf.PageContentLines(page)) {
    for (size_t at = 0; at < line.size();) {
      if (line[at] == '/' && at + 1 < line.size() && line[at + 1] == 'F') {
        size_t end = line.find(' ', at);
        const std::string name = line.substr(at + 1, end - at - 1);
        size_t tf = line.find(" Tf", end);
        if (tf != std::string::npos && tf < line.find_first_of("(<[", end)) font = name;
        at = end == std::string::npos ? line.size() : end;
      } else if (line[at] == '(') {
        std::string raw;  // the string's Windows-1252 bytes
        int depth = 1;
        for (++at; at < line.size(); ++at) {
          char c = line[at];
          if (c == '\\' && at + 1 < line.size()) {
            c = line[++at];
            if (c == 'r') c = '\r';
            if (c == 'n') c = '\n';
          } else if (c == '(') {
            ++depth;
          } else if (c == ')' && --depth == 0) {
            break;
          }
          raw += c;
        }
        ++at;
        const auto map = unicode.find(font);
        if (map == unicode.end()) {
          add(Windows1252ToUtf8(raw));
        } else {
          // An embedded face's string holds two-byte codes.
          std::string text;
          char hex[8];
          for (size_t k = 0; k + 1 < raw.size(); k += 2) {
            std::snprintf(hex, sizeof hex, "%02X%02X", static_cast<unsigned char>(raw[k]),
                          static_cast<unsigned char>(raw[k + 1]));
            text += map->second[hex];
          }
          add(text);
        }
      } else if (line[at] == '<') {
        const size_t end = line.find('>', at);
        std::string text;
        for (size_t k = at + 1; k + 4 <= end; k += 4) text += unicode[font][line.substr(k, 4)];
        add(text);
        at = end + 1;
      } else {
        ++at;
      }
    }
  }
  return runs;
}

// Whether every character of a word is drawn within one run (in either order of showing).
bool InOneRun(const std::vector<Drawn>& runs, const std::string& word, std::string* font) {
  std::multiset<char32_t> wanted;
  for (size_t at = 0; at < word.size();) wanted.insert(NextCodePoint(word, at));
  for (const Drawn& run : runs) {
    std::multiset<char32_t> has;
    for (size_t at = 0; at < run.text.size();) has.insert(NextCodePoint(run.text, at));
    if (std::includes(has.begin(), has.end(), wanted.begin(), wanted.end())) {
      if (font) *font = run.font;
      return true;
    }
  }
  return false;
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

// --- One face a word, the face of each script -----------------------------------------------

// Prose of many scripts: every word is drawn whole in one face (never a patchwork of the
// standard font and a face, nor of two faces), and comes back whole from the page.
TEST(ReadersText, EveryWordOfEveryScriptIsInOneFace) {
  struct Case {
    const char* script;
    const char* font;  // the switch of the document's font
    const char* line;
  };
  const Case cases[] = {
      {"Polish", "-f4",
       "Za\xC5\xBC\xC3\xB3\xC5\x82\xC4\x87 g\xC4\x99\xC5\x9Bl\xC4\x85 "
       "ja\xC5\xBA\xC5\x84, \xC5\x81\xC3\xB3"
       "d\xC5\xBA."},
      {"Vietnamese", "-f0", "Ti\xE1\xBA\xBFng Vi\xE1\xBB\x87t c\xC3\xB3 d\xE1\xBA\xA5u"},
      {"Cyrillic", "-f4", "\xD0\x92\xD1\x81\xD0\xB5 \xD0\xBB\xD1\x8E\xD0\xB4\xD0\xB8"},
      {"Greek", "-f12",
       "\xCE\x95\xCE\xBB\xCE\xBB\xCE\xB7\xCE\xBD\xCE\xB9\xCE\xBA\xCE\xAC "
       "\xCE\xB3\xCF\x81\xCE\xAC\xCE\xBC\xCE\xBC\xCE\xB1\xCF\x84\xCE\xB1"},
      {"Hebrew", "-f4", "\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D \xD7\xA2\xD7\x95\xD7\x9C\xD7\x9D"},
      {"Arabic", "-f4",
       "\xD9\x85\xD8\xB1\xD8\xAD\xD8\xA8\xD8\xA7 \xD8\xA8\xD8\xA7\xD9\x84"
       "\xD8\xB9\xD8\xA7\xD9\x84\xD9\x85"},
      {"Persian", "-f12",
       "\xD9\x85\xDB\x8C\xE2\x80\x8C\xD8\xAE\xD9\x88\xD8\xA7\xD9\x87\xD9\x85 "
       "\xDA\xAF\xD9\x84"},
      {"Urdu", "-f4", "\xD8\xA7\xD9\x86\xDB\x81\xDB\x8C\xDA\xBA \xD9\x85\xD9\x84\xDA\xA9"},
      {"Devanagari", "-f12",
       "\xE0\xA4\xA8\xE0\xA4\xAE\xE0\xA4\xB8\xE0\xA5\x8D\xE0\xA4\xA4"
       "\xE0\xA5\x87 \xE0\xA4\xA6\xE0\xA5\x81\xE0\xA4\xA8\xE0\xA4\xBF"
       "\xE0\xA4\xAF\xE0\xA4\xBE"},
      {"Thai", "-f12",
       "\xE0\xB8\xAA\xE0\xB8\xA7\xE0\xB8\xB1\xE0\xB8\xAA\xE0\xB8\x94"
       "\xE0\xB8\xB5 \xE0\xB9\x82\xE0\xB8\xA5\xE0\xB8\x81"},
      {"Chinese", "-f4", "\xE4\xB8\xAD\xE6\x96\x87 \xE6\x96\x87\xE6\x9C\xAC"},
      {"Japanese", "-f4",
       "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE3\x81\xAE "
       "\xE3\x83\x86\xE3\x82\xAD\xE3\x82\xB9\xE3\x83\x88"},
      {"Korean", "-f4", "\xED\x95\x9C\xEA\xB5\xAD\xEC\x96\xB4 \xEB\xAC\xB8\xEC\x9E\xA5"},
  };
  TempDir dir;
  Batch batch;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.script);
    test::WriteFile(dir / "w.txt", std::string(c.line) + "\n");
    auto r = batch.Run(std::string(c.font) + " " + ShellQuote(dir / "w.txt"));
    ASSERT_EQ(r.exit_code, 0) << r.error;
    Sound(dir / "w.pdf");
    // What a reader sees: ink in every word's box.
    for (const test::WordInk& ink : test::InkOfWords(dir / "w.pdf", dir.path())) {
      EXPECT_GT(ink.dark, 10) << ink.text;
    }
    const std::vector<Drawn> runs = DrawnRuns(dir / "w.pdf");
    const std::string line = c.line;
    for (size_t start = 0; start < line.size();) {
      size_t end = line.find_first_of(" ,.", start);
      if (end == std::string::npos) end = line.size();
      const std::string word = line.substr(start, end - start);
      if (!word.empty()) {
        EXPECT_TRUE(InOneRun(runs, word, nullptr)) << word;
      }
      start = end + 1;
    }
  }
}

// A script's face is chosen for the script, in the class of the document's font where one is:
// the same wherever the script stands, whatever came before.
TEST(ReadersText, AScriptHasOneFaceOfTheDocumentsClass) {
  TempDir dir;
  Batch batch;
  const std::string cyrillic = "\xD0\x92\xD1\x81\xD0\xB5 \xD0\xBB\xD1\x8E\xD0\xB4\xD0\xB8";
  const std::string korean = "\xED\x95\x9C\xEA\xB5\xAD\xEC\x96\xB4";
  test::WriteFile(dir / "k.txt", korean + "\n" + cyrillic + "\n");
  ASSERT_EQ(batch.Run("-f4 " + ShellQuote(dir / "k.txt")).exit_code, 0);
  test::WriteFile(dir / "c.txt", cyrillic + "\n" + korean + "\n");
  ASSERT_EQ(batch.Run("-f4 " + ShellQuote(dir / "c.txt")).exit_code, 0);
  std::string after_korean, alone, hangul;
  ASSERT_TRUE(
      InOneRun(DrawnRuns(dir / "k.pdf"), "\xD0\xBB\xD1\x8E\xD0\xB4\xD0\xB8", &after_korean));
  ASSERT_TRUE(InOneRun(DrawnRuns(dir / "c.pdf"), "\xD0\xBB\xD1\x8E\xD0\xB4\xD0\xB8", &alone));
  ASSERT_TRUE(InOneRun(DrawnRuns(dir / "k.pdf"), korean, &hangul));
  EXPECT_NE(after_korean, hangul);  // never the Korean face's full-width letters
  const std::string k_fonts = RunCommand("pdffonts " + ShellQuote(dir / "k.pdf")).output;
  const std::string c_fonts = RunCommand("pdffonts " + ShellQuote(dir / "c.pdf")).output;
  EXPECT_TRUE(Holds(k_fonts, "NotoSerif-Regular")) << k_fonts;
  EXPECT_TRUE(Holds(c_fonts, "NotoSerif-Regular")) << c_fonts;

  // Serif faces for a serif document where they are installed.
  test::WriteFile(dir / "rtl.txt",
                  "\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D "
                  "\xD9\x85\xD8\xB1\xD8\xAD\xD8\xA8\xD8\xA7\n");
  ASSERT_EQ(batch.Run("-f4 " + ShellQuote(dir / "rtl.txt")).exit_code, 0);
  const std::string fonts = RunCommand("pdffonts " + ShellQuote(dir / "rtl.pdf")).output;
  if (!RunCommand("fc-list | grep -q 'Noto Serif Hebrew'").exit_code) {
    EXPECT_TRUE(Holds(fonts, "NotoSerifHebrew")) << fonts;
  }
  if (!RunCommand("fc-list | grep -q 'Noto Naskh Arabic'").exit_code) {
    EXPECT_TRUE(Holds(fonts, "NotoNaskhArabic")) << fonts;
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

// --- Right to left ---------------------------------------------------------------------------

// A right-to-left line with markup is ordered as a whole, the blanks at its tags kept; a
// right-to-left paragraph stands at the right margin (mirroring the left one), and its wrapped
// lines start with a word.
TEST(ReadersText, RightToLeftLinesAreWholeAndStandAtTheRight) {
  TempDir dir;
  Batch batch;
  const std::string shalom = "\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D";  // שלום
  const std::string olam = "\xD7\xA2\xD7\x95\xD7\x9C\xD7\x9D";    // עולם
  const std::string yafe = "\xD7\x99\xD7\xA4\xD7\x94";            // יפה
  const std::string meod = "\xD7\x9E\xD7\x90\xD7\x95\xD7\x93";    // מאוד
  std::string long_line;
  for (int i = 0; i < 40; ++i) long_line += (i ? " " : "") + shalom + " " + olam;
  test::WriteFile(dir / "r.txt",
                  shalom + " <b>" + olam + "</b> " + yafe + " " + meod + "\n" + long_line + "\n");
  auto r = batch.Run("-f4 " + ShellQuote(dir / "r.txt"));
  ASSERT_EQ(r.exit_code, 0) << r.error;
  Sound(dir / "r.pdf");
  // A reader gives right-to-left words in the order their letters stand on the page.
  std::vector<Box> words = Words(dir / "r.pdf");
  for (Box& w : words) {
    std::vector<char32_t> letters;
    for (size_t at = 0; at < w.text.size();) letters.push_back(NextCodePoint(w.text, at));
    w.text.clear();
    for (auto c = letters.rbegin(); c != letters.rend(); ++c) AppendUtf8(*c, w.text);
  }
  // The first line: from the right, shalom, olam (bold), yafe, meod; words apart.
  std::map<std::string, Box> first;
  for (const Box& w : words) {
    if (w.top < words.front().top + 5 && !first.count(w.text)) first[w.text] = w;
  }
  ASSERT_EQ(first.size(), 4u);
  EXPECT_GT(first[shalom].left, first[olam].right);
  EXPECT_GT(first[olam].left, first[yafe].right);
  EXPECT_GT(first[yafe].left, first[meod].right);
  EXPECT_NEAR(first[shalom].right, 612 - 18, 1.5);  // at the right margin
  // Every line of the long paragraph ends at the right margin, none past the left one.
  std::map<int, double> rightmost;
  for (const Box& w : words) {
    if (w.top > words.front().top + 5 && w.top < 700) {  // not the page number
      rightmost[static_cast<int>(w.top)] = std::max(rightmost[static_cast<int>(w.top)], w.right);
    }
    EXPECT_GE(w.left, 18 - 0.5) << w.text;  // nothing past the left margin
  }
  ASSERT_GE(rightmost.size(), 2u);
  for (const auto& [top, right] : rightmost) EXPECT_NEAR(right, 612 - 18, 1.5) << top;
  // Copied back, the words are those typed, in their order.
  const std::string text = test::PdfToText(dir / "r.pdf");
  EXPECT_TRUE(Holds(text, shalom + " " + olam + " " + yafe + " " + meod)) << text;
}

// --- Tabs and soft hyphens -------------------------------------------------------------------

// A tab moves on to the next stop, every eight blanks of the font in force from the line's
// start: columns line up (in Courier exactly), in plain lines, markup lines and lines of other
// scripts alike, and copy as separate words.
TEST(ReadersText, TabsLineUpInColumns) {
  TempDir dir;
  Batch batch;
  test::WriteFile(dir / "t.txt",
                  "Name\tCity\tCountry\n"
                  "Bartholomew\tRio\tBrazil\n"
                  "<b>Ann</b>\tParis\tFrance\n"
                  "\xE5\x90\x8D\xE5\x89\x8D\tTokyo\tJapan\n");  // 名前
  auto r = batch.Run("-f0 " + ShellQuote(dir / "t.txt"));
  ASSERT_EQ(r.exit_code, 0) << r.error;
  Sound(dir / "t.pdf");
  std::map<std::string, double> left;
  for (const Box& word : Words(dir / "t.pdf")) left[word.text] = word.left;
  ASSERT_EQ(left.count("City") + left.count("Rio") + left.count("Paris") + left.count("Tokyo"), 4u);
  // Stops every 8 x 6 points (Courier at 10 points); "Bartholomew" passes the first.
  EXPECT_NEAR(left["City"] - left["Name"], 48, 0.5);
  EXPECT_NEAR(left["Rio"] - left["Bartholomew"], 96, 0.5);
  EXPECT_NEAR(left["Paris"], left["City"], 0.5);
  EXPECT_NEAR(left["Tokyo"], left["City"], 0.5);
  EXPECT_NEAR(left["France"], left["Country"], 0.5);
  EXPECT_NEAR(left["Japan"], left["Country"], 0.5);
  EXPECT_NEAR(left["Brazil"] - left["Country"], 48, 0.5);  // "Rio" ended past the second
  EXPECT_FALSE(Holds(test::PdfToText(dir / "t.pdf"), "NameCity"));
}

// A soft hyphen shows only where the line breaks at it; elsewhere it is not drawn, and the
// word copies whole.
TEST(ReadersText, SoftHyphensShowOnlyWhereTheLineBreaks) {
  TempDir dir;
  Batch batch;
  const std::string word =
      "in\xC2\xAD"
      "com\xC2\xAD"
      "pre\xC2\xAD"
      "hen\xC2\xAD"
      "si\xC2\xAD"
      "bil\xC2\xAD"
      "i\xC2\xAD"
      "ties";
  std::string line;
  for (int i = 0; i < 9; ++i) line += (i ? " " : "") + word;
  test::WriteFile(dir / "s.txt",
                  "co\xC2\xAD"
                  "operate\n" +
                      line + "\n");
  auto r = batch.Run(ShellQuote(dir / "s.txt"));
  ASSERT_EQ(r.exit_code, 0) << r.error;
  Sound(dir / "s.pdf");
  const std::string raw = test::PdfToText(dir / "s.pdf", "-raw");
  EXPECT_TRUE(Holds(raw, "cooperate\n")) << raw;  // not drawn in the middle
  // The long line breaks at a soft hyphen, which shows there, and nowhere else.
  EXPECT_TRUE(std::regex_search(raw, std::regex("[a-z]-\n[a-z]"))) << raw;
  size_t hyphens = 0;
  for (char c : raw) hyphens += c == '-';
  EXPECT_EQ(hyphens, 1u) << raw;
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
