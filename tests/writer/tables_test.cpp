#include <gtest/gtest.h>

#include <string>

#include "writer/color_table.h"
#include "writer/font_table.h"
#include "writer/transition_table.h"

namespace vellumox {
namespace {

TEST(ColorTable, OperandsByIndex) {
  EXPECT_EQ(ColorOperands(0), "0 0 0");
  EXPECT_EQ(ColorOperands(6), "1 0.9 0 ");  // trailing blank kept
  EXPECT_EQ(ColorOperands(21), "0.6 0.1 0.9 ");
  EXPECT_EQ(ColorOperands(23), "1 0.5 0");
  EXPECT_EQ(ColorOperands(24), "0 0 0");
  EXPECT_EQ(ColorOperands(-1), "0 0 0");
  EXPECT_EQ(ColorOperands(7), "1 1 1");
}

TEST(FontTable, WidthFactorsAndGroupLayout) {
  EXPECT_EQ(FontWidthFactor("times-bold"), 2);
  EXPECT_EQ(FontWidthFactor("TIMES-BOLD"), 2);
  EXPECT_EQ(FontWidthFactor("Symbol"), 2.2);
  EXPECT_EQ(FontWidthFactor("Courier"), 1.5);
  EXPECT_EQ(FontIndexOf("couriernew,bolditalic"), 19);
  EXPECT_EQ(FontIndexOf("Verdana"), -1);
  // Regular, italic, bold, bold italic in every group of four.
  for (int group = 0; group < 20; group += 4) {
    std::string_view regular = FontTable[group].name;
    EXPECT_EQ(FontTable[group + 2].name.substr(0, regular.size() < 5 ? regular.size() : 5),
              regular.substr(0, regular.size() < 5 ? regular.size() : 5));
  }
}

// A face's style comes from its place in the table: it must be what its name says, so that
// faces for other scripts match it.
TEST(FontTable, EachFacesStyleIsWhatItsNameSays) {
  for (int i = 0; i < kFontCount; ++i) {
    const std::string name(FontTable[static_cast<size_t>(i)].name);
    const FaceStyle style = FaceStyleOf(i);
    EXPECT_EQ(style.bold, name.find("Bold") != std::string::npos) << name;
    EXPECT_EQ(style.italic,
              name.find("Italic") != std::string::npos || name.find("Oblique") != std::string::npos)
        << name;
    const FontClass family = name.find("Courier") != std::string::npos ? FontClass::kMonospace
                             : name.find("Times") != std::string::npos ? FontClass::kSerif
                                                                       : FontClass::kSans;
    EXPECT_TRUE(style.family == family) << name;
  }
  EXPECT_TRUE(FaceStyleOf(-1) == FaceStyle());
}

TEST(TransitionTable, LinesByIndex) {
  EXPECT_EQ(TransitionLine(0), "");
  EXPECT_EQ(TransitionLine(14), "/Trans << /Type /Trans /S /Glitter /Di 315 >>");
  EXPECT_EQ(TransitionLine(1), "/Trans << /Type /Trans /S /Dissolve >>");
  EXPECT_EQ(TransitionLine(18), "/Trans << /Type /Trans /S /Blinds /Dm /V >>");
  EXPECT_EQ(TransitionLine(19), "");
  EXPECT_EQ(TransitionLine(-1), "");
}

}  // namespace
}  // namespace vellumox
