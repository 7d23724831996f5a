// Copy and search give the words back, and lines break where each script's readers break them:
// a paragraph of real prose per script (tests/data/prose.txt) is converted, read back with
// pdftotext, and measured: the share of its words that a search finds, and where its lines
// break, against ICU's own line breaker.
#include <gtest/gtest.h>
#include <unicode/brkiter.h>
#include <unicode/normalizer2.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <memory>
#include <regex>
#include <sstream>

#include "support/test_support.h"
#include "writer/code_page.h"

namespace vellumox {
namespace {

using test::ShellQuote;
using test::TempDir;

struct Prose {
  std::string script;
  std::string font;  // the switch of the document's font
  std::string text;
};

std::vector<Prose> AllProse() {
  std::vector<Prose> all;
  std::istringstream lines(
      test::ReadFile(std::string(VELLUMOX_SOURCE_DIR) + "/tests/data/prose.txt"));
  for (std::string line; std::getline(lines, line);) {
    if (line.empty() || line[0] == '#') continue;
    const size_t a = line.find('|'), b = line.find('|', a + 1);
    if (a == std::string::npos || b == std::string::npos) continue;
    all.push_back({line.substr(0, a), line.substr(a + 1, b - a - 1), line.substr(b + 1)});
  }
  return all;
}

std::string Nfc(const std::string& utf8) {
  UErrorCode status = U_ZERO_ERROR;
  const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
  std::string out;
  nfc->normalize(icu::UnicodeString::fromUTF8(utf8), status).toUTF8String(out);
  return out;
}

// Without the directional marks that a reader puts around right-to-left runs.
std::string WithoutMarks(const std::string& utf8) {
  std::string out;
  for (size_t at = 0; at < utf8.size();) {
    const size_t start = at;
    const char32_t c = NextCodePoint(utf8, at);
    const bool mark =
        (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069) || c == 0x200E || c == 0x200F;
    if (!mark) out.append(utf8, start, at - start);
  }
  return out;
}

// Scripts written without blanks between words: their words are ICU's word segments.
bool SegmentedByDictionary(const std::string& script) {
  for (const char* s : {"Thai", "Lao", "Khmer", "Myanmar", "Chinese", "Japanese"}) {
    if (script == s) return true;
  }
  return false;
}

std::vector<std::string> WordsOf(const Prose& prose) {
  std::vector<std::string> words;
  const std::string text = Nfc(prose.text);
  if (!SegmentedByDictionary(prose.script)) {
    std::istringstream blanks(text);
    for (std::string word; blanks >> word;) words.push_back(word);
    return words;
  }
  UErrorCode status = U_ZERO_ERROR;
  std::unique_ptr<icu::BreakIterator> it(
      icu::BreakIterator::createWordInstance(icu::Locale::getRoot(), status));
  const icu::UnicodeString u = icu::UnicodeString::fromUTF8(text);
  it->setText(u);
  for (int32_t start = it->first(), end = it->next(); end != icu::BreakIterator::DONE;
       start = end, end = it->next()) {
    if (it->getRuleStatus() == UBRK_WORD_NONE) continue;  // blanks and punctuation
    std::string word;
    u.tempSubStringBetween(start, end).toUTF8String(word);
    words.push_back(word);
  }
  return words;
}

// How many of the glyphs that the embedded faces show are their empty box (glyph 0): a
// character given to a face that lacks it, which a reader copies but nobody sees.
int EmptyBoxes(const std::string& pdf_path) {
  const std::string bytes = test::ReadFile(pdf_path);
  int boxes = 0;
  const std::regex map("/CIDToGIDMap ([0-9]+) 0 R");
  for (auto it = std::sregex_iterator(bytes.begin(), bytes.end(), map);
       it != std::sregex_iterator(); ++it) {
    const std::string glyphs = test::RunCommand("qpdf --show-object=" + (*it)[1].str() +
                                                " --filtered-stream-data " + ShellQuote(pdf_path))
                                   .output;
    for (size_t k = 2; k + 1 < glyphs.size(); k += 2) {  // CID 0 is the box itself
      boxes += glyphs[k] == 0 && glyphs[k + 1] == 0;
    }
  }
  return boxes;
}

bool RightToLeft(const std::string& script) {
  for (const char* s : {"Hebrew", "Arabic", "Persian", "Urdu"}) {
    if (script == s) return true;
  }
  return false;
}

// pdftotext's output without its directional marks and line ends.
std::string SearchableText(const std::string& pdf) {
  std::string joined;
  for (char c : WithoutMarks(Nfc(test::PdfToText(pdf)))) {
    if (c != '\n' && c != '\f') joined += c;
  }
  return joined;
}

struct Shares {
  double typed = 0;    // words found as typed
  double readers = 0;  // found as typed or as a reader sets the sentence's punctuation
};

// The share of the words that a search of pdftotext's output finds. A full stop or comma that
// ends a right-to-left word is a "number" to poppler's reordering, which sets it apart as a
// left-to-right run with the blank before it ("word ."), whatever the writer does (a
// browser's print of the same text is read back the same way); `readers` counts such words
// found too.
Shares SearchShares(const Prose& prose, const std::string& pdf) {
  const std::string joined = SearchableText(pdf);
  const std::vector<std::string> words = WordsOf(prose);
  size_t typed = 0, readers = 0;
  for (const std::string& word : words) {
    bool found = joined.find(word) != std::string::npos;
    typed += found;
    const char last = word.empty() ? 0 : word.back();
    if (!found && RightToLeft(prose.script) && (last == '.' || last == ',')) {
      const std::string set_apart = word.substr(0, word.size() - 1) + " " + last;
      found = joined.find(set_apart) != std::string::npos;
    }
    readers += found;
  }
  if (words.empty()) return {};
  return {static_cast<double>(typed) / static_cast<double>(words.size()),
          static_cast<double>(readers) / static_cast<double>(words.size())};
}

TEST(CopyAndSearch, EveryScriptsWordsAreFound) {
  TempDir dir;
  test::BatchRuns batch;
  for (const Prose& prose : AllProse()) {
    SCOPED_TRACE(prose.script);
    test::WriteFile(dir / "p.txt", prose.text + "\n");
    auto r = batch.Run(prose.font + " " + ShellQuote(dir / "p.txt"));
    ASSERT_EQ(r.exit_code, 0) << r.error;
    const Shares shares = SearchShares(prose, dir / "p.pdf");
    EXPECT_EQ(EmptyBoxes(dir / "p.pdf"), 0);
    std::printf("search share %-10s %5.1f %% (%5.1f %% with a reader's punctuation)\n",
                prose.script.c_str(), 100 * shares.typed, 100 * shares.readers);
    EXPECT_GE(shares.readers, 0.95);
    if (!RightToLeft(prose.script)) {
      EXPECT_GE(shares.typed, 0.95);
    }
  }
}

// What readers met before: words with blanks inside, marks before their letter, brackets of a
// right-to-left line copied as their mirror images, a ligature's second letter on a line of
// its own.
TEST(CopyAndSearch, TextComesBackAsTyped) {
  const struct {
    const char* font;
    const char* typed;
  } cases[] = {
      // שָׁלוֹם עוֹלָם
      {"-f4", "\u05E9\u05B8\u05C1\u05DC\u05D5\u05B9\u05DD \u05E2\u05D5\u05B9\u05DC\u05B8\u05DD"},
      // قال (مرحبا)
      {"-f4", "\u0642\u0627\u0644 (\u0645\u0631\u062D\u0628\u0627)"},
      // بِرُوحِ الْإِخَاءِ
      {"-f4",
       "\u0628\u0650\u0631\u064F\u0648\u062D\u0650 "
       "\u0627\u0644\u0652\u0625\u0650\u062E\u064E\u0627\u0621\u0650"},
      // שלום。 (שלום).
      {"-f4", "\u05E9\u05DC\u05D5\u05DD\u3002 (\u05E9\u05DC\u05D5\u05DD)."},
      // ทำให้
      {"-f4", "\u0E17\u0E33\u0E43\u0E2B\u0E49"},
      // किताब हिंदी
      {"-f4", "\u0915\u093F\u0924\u093E\u092C \u0939\u093F\u0902\u0926\u0940"},
      // ក្មេរ
      {"-f4", "\u1780\u17D2\u1798\u17C1\u179A"},
  };
  TempDir dir;
  test::BatchRuns batch;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    test::WriteFile(dir / "p.txt", std::string(c.typed) + "\n");
    auto r = batch.Run(std::string(c.font) + " " + ShellQuote(dir / "p.txt"));
    ASSERT_EQ(r.exit_code, 0) << r.error;
    EXPECT_NE(SearchableText(dir / "p.pdf").find(Nfc(c.typed)), std::string::npos)
        << WithoutMarks(test::PdfToText(dir / "p.pdf"));
    EXPECT_EQ(EmptyBoxes(dir / "p.pdf"), 0);
  }
}

// Each line of a paragraph ends where ICU's line breaker allows a break in the typed text (a
// word wider than a line aside, which none of these is). Lines are found in the typed text
// with their blanks left out, which copes with the blank a reader sets before a right-to-left
// line's punctuation.
TEST(CopyAndSearch, LinesBreakWhereTheScriptsRulesAllow) {
  TempDir dir;
  test::BatchRuns batch;
  UErrorCode status = U_ZERO_ERROR;
  std::unique_ptr<icu::BreakIterator> lines(
      icu::BreakIterator::createLineInstance(icu::Locale::getRoot(), status));
  for (const Prose& prose : AllProse()) {
    // Scripts without blanks between words at 8, 10 and 14 points, the others at 10.
    std::vector<const char*> sizes = {"-s6"};
    if (SegmentedByDictionary(prose.script)) sizes = {"-s4", "-s6", "-s9"};
    for (const char* size : sizes) {
      SCOPED_TRACE(prose.script + " " + size);
      test::WriteFile(dir / "p.txt", prose.text + "\n");
      auto r = batch.Run(prose.font + " " + size + " " + ShellQuote(dir / "p.txt"));
      ASSERT_EQ(r.exit_code, 0) << r.error;
      const icu::UnicodeString typed = icu::UnicodeString::fromUTF8(Nfc(prose.text));
      lines->setText(typed);
      icu::UnicodeString unblanked;   // the typed text without blanks
      std::vector<int32_t> typed_at;  // where each of its units stands in the typed text
      for (int32_t k = 0; k < typed.length(); ++k) {
        if (typed[k] == u' ') continue;
        unblanked.append(typed[k]);
        typed_at.push_back(k);
      }
      // Where each line of the page ends in the typed text.
      std::istringstream page(WithoutMarks(Nfc(test::PdfToText(dir / "p.pdf"))));
      int32_t at = 0;
      int breaks = 0;
      for (std::string line; std::getline(page, line);) {
        icu::UnicodeString u = icu::UnicodeString::fromUTF8(line);
        u.findAndReplace(u" ", u"");
        if (u.isEmpty() || u == icu::UnicodeString("1")) continue;  // the page number
        const int32_t found = unblanked.indexOf(u, at);
        ASSERT_GE(found, 0) << line;
        at = found + u.length();
        if (at >= unblanked.length()) break;
        ++breaks;
        // The break stands at an opportunity (blanks after it aside).
        const int32_t next = typed_at[at];
        EXPECT_TRUE(lines->isBoundary(next)) << "a line ends inside a word: " << line;
        const UChar first = typed[next];
        EXPECT_TRUE(first != u'\u3002' && first != u'\u300D' && first != u'\u3001' &&
                    first != u'\uFF0C')
            << "a line starts with punctuation that never starts one";
      }
      EXPECT_GT(breaks, 0);
    }
  }
}

// The words of a text, blank-separated.
std::vector<std::string> BlankSeparated(const std::string& text) {
  std::vector<std::string> words;
  std::istringstream in(text);
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

// Each script's paragraph, plain and in bold markup, looks and reads as it did when the pages of
// tests/data/pages were made (by tests/data/pages/render.sh, with the build before a change to
// how text is written): at most 0.5 % of the pixels differ by more than a quarter of the grey
// range, and pdftotext gives the same words.
TEST(CopyAndSearch, PagesLookAndReadAsBefore) {
  const std::string pages = std::string(VELLUMOX_SOURCE_DIR) + "/tests/data/pages/";
  TempDir dir;
  test::BatchRuns batch;
  for (const Prose& prose : AllProse()) {
    SCOPED_TRACE(prose.script);
    test::WriteFile(dir / "p.txt", prose.text + "\n<b>" + prose.text + "</b>\n");
    auto r = batch.Run(prose.font + " " + ShellQuote(dir / "p.txt"));
    ASSERT_EQ(r.exit_code, 0) << r.error;
    ASSERT_EQ(test::RunCommand("pdftoppm -r 60 -gray -png -f 1 -l 1 -singlefile " +
                               ShellQuote(dir / "p.pdf") + " " + ShellQuote(dir / "page"))
                  .exit_code,
              0);
    const std::string reference = pages + prose.script + ".png";
    const auto compared = test::RunCommand("compare -metric AE -fuzz 25% " + ShellQuote(reference) +
                                           " " + ShellQuote(dir / "page.png") + " null:");
    ASSERT_NE(compared.exit_code, 2) << compared.error;  // 1: they differ, 2: no comparison
    const double differing = std::stod(compared.error);
    const auto size = test::RunCommand("identify -format '%w %h' " + ShellQuote(reference));
    std::istringstream wh(size.output);
    double w = 0, h = 0;
    wh >> w >> h;
    EXPECT_LE(differing, 0.005 * w * h) << dir / "page.png";
    EXPECT_EQ(BlankSeparated(test::PdfToText(dir / "p.pdf")),
              BlankSeparated(test::ReadFile(pages + prose.script + ".txt")));
  }
}

// The benchmark's prose (Latin, Cyrillic, Greek, Arabic, Chinese and Japanese paragraphs, a
// megabyte of them): its PDF holds no more than twice the bytes typed (a blank between two
// words of a face is drawn in it, codes go as literal strings where that is shorter), passes
// qpdf without a warning, and reads back whole.
TEST(CopyAndSearch, MixedProseTakesAtMostTwiceItsBytes) {
  TempDir dir;
  test::BatchRuns batch;
  std::vector<Prose> paragraphs;
  std::istringstream data(
      test::ReadFile(std::string(VELLUMOX_SOURCE_DIR) + "/bench/data/udhr_prose.txt"));
  for (std::string line; std::getline(data, line);) {
    const size_t bar = line.find('|');
    if (line.empty() || line[0] == '#' || bar == std::string::npos) continue;
    paragraphs.push_back({line.substr(0, bar), "", line.substr(bar + 1)});
  }
  ASSERT_GE(paragraphs.size(), 6u);
  std::string text;
  while (text.size() < 1000000) {
    for (const Prose& prose : paragraphs) text += prose.text + "\n";
  }
  test::WriteFile(dir / "p.txt", text);
  auto r = batch.Run(ShellQuote(dir / "p.txt"));
  ASSERT_EQ(r.exit_code, 0) << r.error;
  EXPECT_LE(test::ReadFile(dir / "p.pdf").size(), 2 * text.size());
  std::string details;
  EXPECT_TRUE(test::QpdfCheckClean(dir / "p.pdf", &details)) << details;
  const std::string joined = SearchableText(dir / "p.pdf");
  for (const Prose& prose : paragraphs) {
    // A word from the middle that ends in a letter (a reader may set punctuation apart from
    // a right-to-left word).
    const std::vector<std::string> words = WordsOf(prose);
    auto word = std::find_if(words.begin() + static_cast<std::ptrdiff_t>(words.size() / 2),
                             words.end(), [](const std::string& w) {
                               return !w.empty() &&
                                      !std::ispunct(static_cast<unsigned char>(w.back())) &&
                                      w.find("\xD8\x8C") == std::string::npos;  // Arabic comma
                             });
    ASSERT_NE(word, words.end()) << prose.script;
    EXPECT_NE(joined.find(*word), std::string::npos) << prose.script << ": " << *word;
  }
}
}  // namespace
}  // namespace vellumox
