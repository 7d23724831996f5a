#include "layout/line_layout.h"

#include <gtest/gtest.h>

#include "support/layout_harness.h"

namespace vellumox::test {
namespace {

TEST(LineLayout, PlainLinesAreEscapedAndCounted) {
  LayoutHarness h;
  h.Print({"Total (net): 5", "C:\\x", "", "   ", "trailing   ", "\ttab\t"});
  EXPECT_EQ(h.cursor().Line(), 7);
  EXPECT_FLOAT_EQ(h.cursor().Vertical(), 36.0f + 6 * 14.4f);
  // A tab moves on to its stop, every eight blanks of the font (here 8 x 600), and a tab at
  // the end moves nowhere.
  EXPECT_EQ(h.FinishOnePage(), (Lines{"(Total \\(net\\): 5)'", "(C:\\\\x)'", "()'", "()'",
                                      "(trailing)'", "()' [-4800 (tab)] TJ"}));
}

TEST(LineLayout, WrapsAtBreakCharactersOnTheEscapedText) {
  struct Case {
    std::string line;
    Lines pieces;
  } cases[] = {
      {"aaaa bbbb cccc", {"(aaaa bbbb )'", "(cccc)'"}},
      {std::string(25, 'x'),
       {"(" + std::string(10, 'x') + ")'", "(" + std::string(10, 'x') + ")'",
        "(" + std::string(5, 'x') + ")'"}},
      {"abcdefghi-jklmn", {"(abcdefghi-)'", "(jklmn)'"}},
      {"abcd)efghijk", {"(abcd\\))'", "(efghijk)'"}},
      {"((((((((", {"(\\(\\(\\(\\(\\()'", "(\\(\\(\\()'"}},
      // A hard cut never leaves an escape sequence's backslash at the end of a piece.
      {"aaaaaaaaa(", {"(aaaaaaaaa)'", "(\\()'"}},
      {"aaaaaaaa\\(", {"(aaaaaaaa\\\\)'", "(\\()'"}},
      {"aaaaaaa\\\\(", {"(aaaaaaa\\\\)'", "(\\\\\\()'"}},
      {"exactly10!", {"(exactly10!)'"}},
  };
  for (const Case& c : cases) {
    LayoutHarness h;
    h.layout().SetWrapWidth(10);
    h.Print({c.line});
    EXPECT_EQ(h.FinishOnePage(), c.pieces) << c.line;
  }
}

// A wrap width below 10 (large text on wide margins) means nothing: the glyphs alone decide.
TEST(LineLayout, BelowTenCharactersTheGlyphFitAloneDecides) {
  for (int32_t width : {9, 1, 0, -40}) {
    LayoutHarness h;
    h.layout().SetWrapWidth(width);
    h.Print({"abcde(f) " + std::string(200, 'l')});
    Lines lines = h.FinishOnePage();
    ASSERT_GE(lines.size(), 2u) << width;
    EXPECT_EQ(lines[0].substr(0, 13), "(abcde\\(f\\) l") << width;
    EXPECT_GT(lines[0].size(), 60u) << width;  // as many as fit, not 9
  }
}

TEST(LineLayout, LinesWithMarkupAreNotWrapped) {
  LayoutHarness h;
  h.layout().SetWrapWidth(10);
  h.Print({"aaaa <b>x</b> bbbb cccc dddd"});
  Lines lines = h.FinishOnePage();
  EXPECT_EQ(lines.back(), "( bbbb cccc dddd) Tj");

  ConversionSettings plain = Courier12();
  plain.UseTextFormating = false;
  LayoutHarness off(plain);
  off.layout().SetWrapWidth(10);
  off.Print({"aaaa <b>x</b> bbbb"});
  EXPECT_EQ(off.FinishOnePage(), (Lines{"(aaaa <b>x<)'", "(/b> bbbb)'"}));
}

TEST(LineLayout, PageBreakLines) {
  struct Case {
    std::string line;
    size_t pages;
  } cases[] = {{"<pagebreak>", 2},
               {"<PAGEBREAK>", 2},
               {"<PageBreak>", 2},
               {"<pagebreak> ", 1},
               {" <pagebreak>", 1}};
  for (const Case& c : cases) {
    LayoutHarness h;
    h.Print({"before", c.line});
    std::vector<Lines> pages = h.Finish();
    ASSERT_EQ(pages.size(), c.pages) << c.line;
    if (c.pages == 2) {
      EXPECT_TRUE(pages[1].empty());
    } else {
      EXPECT_EQ(pages[0].back(), c.line == " <pagebreak>" ? "( <pagebreak>)'" : "(<pagebreak>)'");
    }
  }
}

TEST(LineLayout, PageBreaksDoNotDependOnMarkup) {
  ConversionSettings s = Courier12();
  s.UseTextFormating = false;
  LayoutHarness h(s);
  h.Print({"a", "<pagebreak>", "b\fc", "one<br>two &lt;"});
  std::vector<Lines> pages = h.Finish();
  ASSERT_EQ(pages.size(), 3u);
  EXPECT_EQ(pages[2], (Lines{"(b\fc)'", "(one<br>two &lt;)'"}));
}

TEST(LineLayout, FullPagesBreakBeforeTheLineThatDoesNotFit) {
  LayoutHarness h;  // 50 lines per page: a page holds 49
  Lines input;
  for (int i = 1; i <= 50; ++i) input.push_back("line " + std::to_string(i));
  input.push_back("<pagebreak>");
  input.push_back("last");
  h.Print(input);
  std::vector<Lines> pages = h.Finish();
  ASSERT_EQ(pages.size(), 3u);
  EXPECT_EQ(pages[0].size(), 49u);
  EXPECT_EQ(pages[1], (Lines{"(line 50)'"}));
  EXPECT_EQ(pages[2], (Lines{"(last)'"}));
}

TEST(LineLayout, APageBreakLineOnAFullPageBreaksOnce) {
  LayoutHarness h;
  h.layout().cursor().SetLine(h.writer().geometry().LinesPerPage);
  h.Print({"<pagebreak>", "x"});
  std::vector<Lines> pages = h.Finish();
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_EQ(pages[1], (Lines{"(x)'"}));
}

TEST(LineLayout, WrappedPiecesBreakThePageWhenItIsFull) {
  LayoutHarness h;
  h.layout().SetWrapWidth(10);
  h.layout().cursor().SetLine(h.writer().geometry().LinesPerPage - 2);
  h.Print({std::string(35, 'z')});
  std::vector<Lines> pages = h.Finish();
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_EQ(pages[0].size(), 2u);
  EXPECT_EQ(pages[1].size(), 2u);
}

TEST(LineLayout, AFormFeedBreaksThePageOnceBeforeItsLine) {
  LayoutHarness h;
  h.layout().SetWrapWidth(10);
  h.Print({"first", std::string(15, 'a') + "\f" + std::string(15, 'b')});
  std::vector<Lines> pages = h.Finish();
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_EQ(pages[1].size(), 4u);
  EXPECT_EQ(pages[1][1], "(aaaaa\fbbbb)'");
}

TEST(LineLayout, ALineOfFormFeedsOnlyBreaksThePageAndPrintsNothing) {
  LayoutHarness h;
  h.Print({"one", "\f", "two", " \f\f ", "three"});
  std::vector<Lines> pages = h.Finish();
  ASSERT_EQ(pages.size(), 3u);
  EXPECT_EQ(pages[1], Lines{"(two)'"});
  EXPECT_EQ(pages[2], Lines{"(three)'"});
}

TEST(LineLayout, InlineMarksAndEntities) {
  LayoutHarness h;
  h.Print({"one<br>two<br>", "a &lt;b&gt; c", "&lt;p>", "x<p>y"});
  EXPECT_EQ(h.cursor().Line(), 5);
  EXPECT_EQ(h.FinishOnePage(), (Lines{"(one)' (two)'", "(a <b> c)'", "(<p>)'", "(x)' (y)'"}));
}

TEST(LineLayout, MarkupOffPrintsTagsAsText) {
  ConversionSettings s = Courier12();
  s.UseTextFormating = false;
  LayoutHarness h(s);
  h.Print({"<b>Bold</b>", "<img src=a.jpg>"});
  EXPECT_EQ(h.FinishOnePage(), (Lines{"(<b>Bold</b>)'", "(<img src=a.jpg>)'"}));
}

}  // namespace
}  // namespace vellumox::test
