#include "layout/markup_interpreter.h"

#include <gtest/gtest.h>

#include "support/layout_harness.h"

namespace vellumox::test {
namespace {

Lines Layout(const std::string& line, ConversionSettings s = Courier12()) {
  LayoutHarness h(s);
  h.Print({line});
  return h.FinishOnePage();
}

TEST(Markup, ElementsSwitchFontAndBack) {
  struct Case {
    std::string line;
    Lines out;
  } cases[] = {
      {"Total: <b>12</b> items",
       {"()'", "(Total: ) Tj", "/F3 12 Tf", "(12) Tj", "/F0 12 Tf", "( items) Tj"}},
      {"x <i>y</i> z", {"()'", "(x ) Tj", "/F2 12 Tf", "(y) Tj", "/F0 12 Tf", "( z) Tj"}},
      // Two elements share one text line; a line that starts with an element moves down first.
      {"<b>a</b><i>b</i>",
       {"()'", "/F3 12 Tf", "(a) Tj", "/F0 12 Tf", "/F2 12 Tf", "(b) Tj", "/F0 12 Tf"}},
      {"<h2>Title</h2>", {"()'", "/F3 24 Tf", "(Title) Tj", "/F0 12 Tf"}},
      {"<H2>Blue</H2>", {"()'", "0 0 1 rg ", "/F3 24 Tf", "(Blue) Tj", "/F0 12 Tf", "0 0 0 rg "}},
      {"<b>x</b> tail</b>", {"()'", "/F3 12 Tf", "(x) Tj", "/F0 12 Tf", "( tail</b>) Tj"}},
      {"<i1.5>big</i>", {"()'", "/F2 18 Tf", "(big) Tj", "/F0 12 Tf"}},
      {"<br>more <i>y</i>", {"()'", "/F3 12 Tf", "(more <i>y) Tj", "/F0 12 Tf"}},
      {"<p>text</p>", {"()'", "/F0 12 Tf", "(text) Tj", "/F0 12 Tf"}},
      {"<b></b>", {"()'", "/F3 12 Tf", "/F0 12 Tf", "()'"}},
      {"a (b) <b>c\\</b>", {"()'", "(a \\(b\\) ) Tj", "/F3 12 Tf", "(c\\\\) Tj", "/F0 12 Tf"}},
  };
  for (const Case& c : cases) EXPECT_EQ(Layout(c.line), c.out) << c.line;
}

TEST(Markup, FontTagColoursSizesAndFaces) {
  struct Case {
    std::string line;
    Lines out;
  } cases[] = {
      {"<font color=red>R</font>",
       {"()'", "1 0 0 rg ", "/F0 12 Tf", "(R) Tj", "/F0 12 Tf", "0 0 0 rg "}},
      {"<font color=#FF8000>o</font>",
       {"()'", "1 .5 0 rg ", "/F0 12 Tf", "(o) Tj", "/F0 12 Tf", "0 0 0 rg "}},
      {"<font color=darkred>d</font>",
       {"()'", "0.7 0 0 rg ", "/F0 12 Tf", "(d) Tj", "/F0 12 Tf", "0 0 0 rg "}},
      {"<font color=\"red\">q</font>", {"()'", "/F0 12 Tf", "(q) Tj", "/F0 12 Tf"}},
      {"<font size=+2>s</font>", {"()'", "/F0 13.9999995231628 Tf", "(s) Tj", "/F0 12 Tf"}},
      {"<font size=24>s</font>", {"()'", "/F0 24 Tf", "(s) Tj", "/F0 12 Tf"}},
      {"<font size=-12>s</font>", {"()'", "/F0 12 Tf", "(s) Tj", "/F0 12 Tf"}},
      {"<font size=\"24\">s</font>", {"()'", "/F0 12 Tf", "(s) Tj", "/F0 12 Tf"}},
      {"<font face=7>f</font>", {"()'", "/F7 12 Tf", "(f) Tj", "/F0 12 Tf"}},
      {"<font face=123>f</font>", {"()'", "/F12 12 Tf", "(f) Tj", "/F0 12 Tf"}},
      {"<font face=Arial bold>f</font>", {"()'", "/F11 12 Tf", "(f) Tj", "/F0 12 Tf"}},
      // A quoted face keeps the document font's own table entry.
      {"<font face=\"Arial\">f</font>", {"()'", "/F1 12 Tf", "(f) Tj", "/F0 12 Tf"}},
      {"<font italic>f</font>", {"()'", "/F2 12 Tf", "(f) Tj", "/F0 12 Tf"}},
      // Face numbers that name no resource fall back to the document font.
      {"<font face=99>f</font>", {"()'", "/F0 12 Tf", "(f) Tj", "/F0 12 Tf"}},
      {"<font face=-1>f</font>", {"()'", "/F0 12 Tf", "(f) Tj", "/F0 12 Tf"}},
      {"<font face=.5>f</font>", {"()'", "/F0 12 Tf", "(f) Tj", "/F0 12 Tf"}},
      {"<font face=21>f</font>", {"()'", "/F0 12 Tf", "(f) Tj", "/F0 12 Tf"}},
      {"<font face=20>f</font>", {"()'", "/F20 12 Tf", "(f) Tj", "/F0 12 Tf"}},
  };
  for (const Case& c : cases) EXPECT_EQ(Layout(c.line), c.out) << c.line;
}

TEST(Markup, NoColourChangeWhenTheTextIsAlreadyThatColour) {
  ConversionSettings s = Courier12();
  s.ForeColorIndex = 4;  // red
  EXPECT_EQ(Layout("<font color=red>R</font>", s),
            (Lines{"()'", "/F0 12 Tf", "(R) Tj", "/F0 12 Tf"}));
}

TEST(Markup, BoldAndItalicFollowTheDocumentFontInTheTable) {
  ConversionSettings s = Courier12();
  s.FontName = "CourierNew,BoldItalic";  // the last entry
  EXPECT_EQ(Layout("<b>x</b>", s)[1], "/F20 12 Tf");
  EXPECT_EQ(Layout("<i>x</i>", s)[1], "/F20 12 Tf");
  EXPECT_EQ(Layout("<font bold>x</font>", s)[1], "/F0 12 Tf");
  s.FontName = "Times-Roman";
  EXPECT_EQ(Layout("<b>x</b>", s)[1], "/F7 12 Tf");
  EXPECT_EQ(Layout("<i>x</i>", s)[1], "/F6 12 Tf");
}

TEST(Markup, HeadersCountAsSeveralLines) {
  LayoutHarness h;
  h.Print({"<h2>Title</h2>", "<h3>Big</h3> and <b>x</b>"});
  // round(2 / 1.2) = 2; round(3 / 1.2) = round(2.5) = 2, half to even; bold adds 1.
  EXPECT_EQ(h.cursor().Line(), 1 + 2 + 2 + 1);
  EXPECT_FLOAT_EQ(h.cursor().Vertical(), 36 + 2 * 14.4f);
}

TEST(Markup, TabTagsMoveTheText) {
  struct Case {
    std::string line;
    Lines out;
  } cases[] = {
      {"<tab left=300>Total", {"1 0 0 1 300 742 Tm", "/F0 12 Tf", "/F0 12 Tf", "(Total) Tj"}},
      {"Name <tab left=200 top=500>x",
       {"1 0 0 1 200 500 Tm", "()'", "(Name ) Tj", "/F0 12 Tf", "/F0 12 Tf", "(x) Tj"}},
      {"<table>x</y>", {"1 0 0 1 36 742 Tm", "/F0 12 Tf", "/F0 12 Tf", "(x</y>) Tj"}},
      {"<tab left=\"400\" top=100>", {"1 0 0 1 400 100 Tm", "/F0 12 Tf", "/F0 12 Tf", "()'"}},
      {"<tab left=abc>x", {"1 0 0 1 0 742 Tm", "/F0 12 Tf", "/F0 12 Tf", "(x) Tj"}},
      // A top above the page means the page's first line, as a top of 0 does.
      {"<tab left=300 top=900>x", {"1 0 0 1 300 742 Tm", "/F0 12 Tf", "/F0 12 Tf", "(x) Tj"}},
  };
  for (const Case& c : cases) EXPECT_EQ(Layout(c.line), c.out) << c.line;
}

TEST(Markup, ImageTagsReachThePlacer) {
  struct Recorder : ImagePlacer {
    void PlaceImage(std::string_view tag) override { tags.emplace_back(tag); }
    std::vector<std::string> tags;
  } recorder;
  LayoutHarness h;
  h.layout().SetImagePlacer(&recorder);
  h.Print({"a <img src=\"x.jpg\"> b <IMG SRC=y.png width=3>", "<img src=z.jpg>"});
  EXPECT_EQ(recorder.tags, (std::vector<std::string>{"img src=\"x.jpg\"", "IMG SRC=y.png width=3",
                                                     "img src=z.jpg"}));
  Lines lines = h.FinishOnePage();
  EXPECT_EQ(lines, (Lines{"()'", "(a ) Tj", "/F0 12 Tf", "/F0 12 Tf", "( b ) Tj", "/F0 12 Tf",
                          "/F0 12 Tf", "()'", "/F0 12 Tf", "/F0 12 Tf", "()'"}));
}

TEST(Markup, UnclosedAndBrokenTagsAreConsumed) {
  struct Case {
    std::string line;
    Lines out;
  } cases[] = {
      // An element without "</" is text; the image tag after it is still an image tag.
      {"<b>see <img src=a.jpg>", {"()'", "(<b>see ) Tj", "/F0 12 Tf", "/F0 12 Tf", "()'"}},
      {"<b <img src=a>x", {"()'", "(<b ) Tj", "/F0 12 Tf", "/F0 12 Tf", "(x) Tj"}},
      {"<b<i>x</i>>", {"()'", "/F3 12 Tf", "(x) Tj", "/F0 12 Tf", "(>) Tj"}},
      {"<<<>>></>", {"()'", "/F0 12 Tf", "(>>) Tj", "/F0 12 Tf"}},
      {"<b>x</b", {"(<b>x</b)'"}},
      {"x<b>y</ <img src=q>", {"()'", "(x) Tj", "/F3 12 Tf", "(y) Tj", "/F0 12 Tf"}},
  };
  for (const Case& c : cases) EXPECT_EQ(Layout(c.line), c.out) << c.line;
}

TEST(Markup, LongLinesOfTagsTakeLinearTime) {
  // Half a million elements, and as many unclosed tags before an image tag: both finish fast
  // because every search on a line only moves forward.
  std::string elements;
  for (int i = 0; i < 500000; ++i) elements += "<b>x</b>";
  std::string unclosed;
  for (int i = 0; i < 500000; ++i) unclosed += "<b>";
  unclosed += "<img src=a>";
  LayoutHarness h;
  h.Print({elements, unclosed});
  h.Finish();
}

// No cap on a size factor but the page, "&H" numbers read unsigned (a wrapped &H8000 would be
// negative, so scale 1 and 12 points), and nothing written beyond what a PDF reader holds.
TEST(Markup, LargeFactorsAndHexadecimalNumbers) {
  EXPECT_EQ(Layout("<h20>x</h>")[1], "/F3 240 Tf");
  EXPECT_EQ(Layout("<h99999>x</h>")[1], "/F3 792 Tf");
  EXPECT_EQ(Layout("<h&H8000>x</h>")[1], "/F3 792 Tf");
  EXPECT_EQ(Layout("<font size=1e308>x</font>")[1], "/F0 792 Tf");
  EXPECT_EQ(Layout("<tab left=&HFFFF top=100>x")[0], "1 0 0 1 32767 100 Tm");
  EXPECT_EQ(Layout("<tab left=-99999 top=100>x")[0], "1 0 0 1 -32767 100 Tm");
}

}  // namespace
}  // namespace vellumox::test
