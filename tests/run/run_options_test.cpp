#include "run/run_options.h"

#include <gtest/gtest.h>

namespace vellumox {
namespace {

// The settings as the controls gave them before there were run options: list positions and the
// lists' numbers, rounded as they were.
ConversionSettings Direct(const ConverterControls& c) {
  ConversionSettings s;
  s.FontName = c.cmbFont.Text();
  s.FontSize = RoundToInt16(c.cmbFontSize.Value()).value_or(0);
  s.Rotation = RoundToInt16(c.cmbRotation.Value()).value_or(0);
  s.pwidth = c.page_sizes[static_cast<size_t>(c.cmbPageSize.selected)].width;
  s.pheight = c.page_sizes[static_cast<size_t>(c.cmbPageSize.selected)].height;
  s.Margin = static_cast<float>(c.cmbMargin.Value());
  s.TopMargin = static_cast<float>(c.cmbTopMargin.Value());
  s.ForeColorIndex = static_cast<int16_t>(c.cmbForeColor.selected);
  s.BackColorIndex = static_cast<int16_t>(c.cmbBackColor.selected);
  s.TransitionMode = static_cast<int16_t>(c.cmbTransition.selected);
  return s;
}

void ExpectSameSettings(const ConversionSettings& a, const ConversionSettings& b) {
  EXPECT_EQ(a.FontName, b.FontName);
  EXPECT_EQ(a.FontSize, b.FontSize);
  EXPECT_EQ(a.Rotation, b.Rotation);
  EXPECT_EQ(a.pwidth, b.pwidth);  // the same floats, so the same bytes in every PDF
  EXPECT_EQ(a.pheight, b.pheight);
  EXPECT_EQ(a.Margin, b.Margin);
  EXPECT_EQ(a.TopMargin, b.TopMargin);
  EXPECT_EQ(a.ForeColorIndex, b.ForeColorIndex);
  EXPECT_EQ(a.BackColorIndex, b.BackColorIndex);
  EXPECT_EQ(a.TransitionMode, b.TransitionMode);
}

// Every entry of every list, through the run options and back, gives the settings and the
// selections that the controls gave directly: the typed values lose nothing.
TEST(RunOptions, EveryEntryOfEveryListComesThroughUnchanged) {
  StartupFacts facts;
  facts.custom_page_sizes = {"8.27\" x 11.69\"", "11.69\" x 16.54\"", "5.83\" x 8.27\""};
  const ConverterControls fresh = MakeControls(facts);
  ListControl ConverterControls::*lists[] = {
      &ConverterControls::cmbFont,      &ConverterControls::cmbFontSize,
      &ConverterControls::cmbRotation,  &ConverterControls::cmbPageSize,
      &ConverterControls::cmbMargin,    &ConverterControls::cmbTopMargin,
      &ConverterControls::cmbForeColor, &ConverterControls::cmbBackColor,
      &ConverterControls::cmbTransition};
  for (ListControl ConverterControls::*list : lists) {
    for (int k = 0; k < (fresh.*list).Count(); ++k) {
      SCOPED_TRACE((fresh.*list).entries[static_cast<size_t>(k)]);
      ConverterControls c = fresh;
      for (ListControl ConverterControls::*other : lists) (c.*other).Select(0);
      (c.*list).Select(k);
      const RunOptions options = RunOptionsOf(c);
      ExpectSameSettings(SettingsOf(options), Direct(c));
      ConverterControls shown = fresh;
      ShowRunOptions(options, shown);
      EXPECT_EQ((shown.*list).selected, k);
    }
  }
}

TEST(RunOptions, TypedValues) {
  ConverterControls c = MakeControls(StartupFacts{});
  c.cmbFont.Select(6);         // Times-Bold
  c.cmbFontSize.Select(6);     // 10 pt
  c.cmbMargin.Select(2);       // 0.5"
  c.cmbPageSize.Select(0);     // 8.5" x 11"
  c.cmbForeColor.Select(2);    // Green
  c.cmbTransition.Select(16);  // Box Out
  const RunOptions o = RunOptionsOf(c);
  EXPECT_EQ(o.font, 6);
  EXPECT_TRUE(o.font_style == (FaceStyle{FontClass::kSerif, true, false}));
  EXPECT_EQ(o.font_size, 10);
  EXPECT_EQ(o.left_margin, 36);
  EXPECT_EQ(o.page_width, 612);
  EXPECT_EQ(o.page_height, 792);
  EXPECT_TRUE(o.foreground == (Rgb{0, 0.8, 0}));
  EXPECT_TRUE(o.transition == Transition::kBoxOut);
  // Each colour of the table is its own: its RGB finds its place again.
  for (size_t i = 0; i < ColorTable.size(); ++i) {
    EXPECT_EQ(ColorIndexOf(RgbOf(ColorTable[i])), static_cast<int>(i)) << ColorTable[i].name;
  }
}

}  // namespace
}  // namespace vellumox
