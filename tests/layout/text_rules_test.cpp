#include "layout/text_rules.h"
#include "layout/markup_scanner.h"

#include <gtest/gtest.h>

#include "writer/pdf_string.h"

namespace vellumox {
namespace {

TEST(ReplaceAll, ReplacesEveryOccurrenceOnce) {
  struct Case {
    const char *text, *find, *replacement;
    CompareMode mode;
    const char* result;
  } cases[] = {
      {"a\\\\b\\\\c", "\\\\", "\\", CompareMode::kExact, "a\\b\\c"},
      {"aaa", "a", "aa", CompareMode::kExact, "aaaaaa"},  // replaced text is not searched again
      {"<P>x<p>", "<p>", ")' (", CompareMode::kText, ")' (x)' ("},
      {"<P>x", "<p>", "-", CompareMode::kExact, "<P>x"},
      {"", "a", "b", CompareMode::kExact, ""},
      {"abc", "", "x", CompareMode::kExact, "abc"},
      {"&LT;&lt;", "&lt;", "<", CompareMode::kText, "<<"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReplaceAll(c.text, c.find, c.replacement, c.mode), c.result) << c.text;
  }
}

TEST(HasMarkup, NeedsAClosedElementAnImageOrATab) {
  struct Case {
    const char* line;
    bool markup;
  } cases[] = {
      {"<b>Bold</b>", true},
      {"<b>", false},
      {"a < b > c </ d >", true},
      {"x </b> <b>", false},
      {"<IMG src=a.jpg>", true},
      {"<img src=a.jpg", false},
      {"<tab left=3>", true},
      {"<table>", false},
      {"<table>x</y>", true},
      {"<TAB >", true},
      {"plain text", false},
      {"</>>", false},
      {"<b>see <img src=a>", true},
      {"", false},
      {"<>x</>", true},
      {"one<br>two<br>", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(HasMarkup(c.line, true), c.markup) << c.line;
    EXPECT_FALSE(HasMarkup(c.line, false)) << c.line;
  }
}

TEST(InlineMarkPieces, MarksBreakTheLineAndEntitiesShowTheirCharacter) {
  using Pieces = std::vector<std::string>;
  struct Case {
    const char* text;
    Pieces pieces;
  } cases[] = {
      {"one<br>two<br>", {"one", "two"}},
      {"a<p>b<P>", {"a", "b"}},
      {"<p>", {""}},
      {"a<br><p>", {"a"}},  // the paragraph mark goes, then the break that is now last
      {"a<p><br>", {"a", ""}},
      {"a &lt;b&gt; c", {"a <b> c"}},
      {"&lt;p>", {"<p>"}},
      {"&LT;br&GT;", {"<br>"}},
      {"(x)<p>\\", {"(x)", "\\"}},
      {"plain", {"plain"}},
  };
  for (const Case& c : cases) EXPECT_EQ(InlineMarkPieces(c.text, true), c.pieces) << c.text;
  EXPECT_EQ(InlineMarkPieces("one<br>&lt;", false), Pieces{"one<br>&lt;"});
}

TEST(WrapBreakCharacters, AreExactlyTheTwentyFour) {
  std::string breaks;
  for (int c = 0; c < 256; ++c) {
    if (IsWrapBreakCharacter(static_cast<char>(c))) breaks += static_cast<char>(c);
  }
  EXPECT_EQ(breaks, "\t !\"#$%&)*,./:;<=>?[]^|}");
  EXPECT_EQ(breaks.size(), 24u);
}

TEST(AppendEscaped, EscapesAndCountsBackslashAndParentheses) {
  std::string out;
  AppendEscaped("C:\\x (a) b", out);
  EXPECT_EQ(out, "C:\\\\x \\(a\\) b");
  // Texts go sixteen bytes at a time, their last bytes as a padded block: an escape at every
  // place, and every byte escaped, in texts of every length around that.
  auto escaped = [](const std::string& text) {
    std::string expected;
    for (char c : text) expected += (c == 'x' ? "" : "\\") + std::string(1, c);
    return expected;
  };
  for (size_t length = 1; length <= 40; ++length) {
    for (size_t at = 0; at < length; ++at) {
      std::string text(length, 'x');
      text[at] = at % 2 ? '(' : '\\';
      text[length - 1] = ')';
      out.clear();
      AppendEscaped(text, out);
      ASSERT_EQ(out, escaped(text)) << length << " " << at;
      ASSERT_EQ(CountEscaped(text), out.size() - text.size()) << length << " " << at;
    }
    const std::string all = std::string(length, '(').replace(0, length / 2, length / 2, '\\');
    out = "kept";
    AppendEscaped(all, out);
    ASSERT_EQ(out, "kept" + escaped(all)) << length;
    ASSERT_EQ(CountEscaped(all), length) << length;
  }
}

// The survey reads sixteen bytes at a time, the last block overlapping the one before: a form
// feed or a "<" or "&" at every place of lines of every length around that.
TEST(SurveyLine, FindsFormFeedsAndMarksAnywhere) {
  EXPECT_FALSE(SurveyLine("").form_feed || SurveyLine("").marks);
  for (size_t length = 1; length <= 40; ++length) {
    std::string line(length, 'x');
    EXPECT_FALSE(SurveyLine(line).form_feed || SurveyLine(line).marks) << length;
    for (size_t at = 0; at < length; ++at) {
      for (char c : {'\f', '<', '&'}) {
        std::string marked = line;
        marked[at] = c;
        const LineSurvey survey = SurveyLine(marked);
        ASSERT_EQ(survey.form_feed, c == '\f') << length << " " << at;
        ASSERT_EQ(survey.marks, c != '\f') << length << " " << at;
      }
    }
  }
}

}  // namespace
}  // namespace vellumox
