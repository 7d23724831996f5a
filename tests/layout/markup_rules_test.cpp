#include "layout/markup_rules.h"

#include <gtest/gtest.h>

namespace vellumox {
namespace {

TEST(TagAttribute, ReadsValuesTheWayTagsWriteThem) {
  struct Case {
    const char *tag, *name, *def, *value;
  } cases[] = {
      {"img src=\"a b.jpg\" width=300", "src", "", "a b.jpg"},
      {"img src=a.jpg width=300", "src", "", "a.jpg"},
      {"img SRC=a.jpg", "src", "", "a.jpg"},
      {"img width=300", "width", "0", "300"},
      {"img width=12.5", "width", "0", "12.5"},
      {"img width=300\"", "width", "0", "300"},  // the number at the end of the tag
      {"img width=abc", "width", "7", "abc"},
      {"img", "width", "540", "540"},
      {"tab stop=5", "top", "0", "5"},  // found inside a longer word
      {"img src=\"unclosed", "src", "x", ""},
      {"img src=C:\\pics\\a.jpg", "src", "", "C:\\pics\\a.jpg"},  // the user's text, as it is
      {"img src=\"a(1).jpg\"", "src", "", "a(1).jpg"},
      {"tab left = 300", "left", "36", "36"},  // blanks around "=" are not recognised
      {"tab left='300'", "left", "36", "'300'"},
      {"img top=0", "top", "-792", "0"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TagAttribute(c.tag, c.name, c.def), c.value) << c.tag;
  }
}

TEST(FontForFace, ChoosesAGroupByTheFirstLetter) {
  struct Case {
    const char* face;
    bool italic, bold;
    int font_index;
    int position;
  } cases[] = {
      {"Arial", false, false, 0, 9},
      {"arial bold", false, true, 0, 11},
      {"Times italic", true, false, 0, 6},
      {"CourierNew", false, false, 4, 17},
      {"Courier", false, false, 4, 1},
      {"Verdana", false, false, 4, 5},
      {"Verdana", true, true, 4, 8},
      {"", false, true, 19, 0},
      {"", true, false, 0, 2},
      {"helvetica", true, true, 0, 16},
      {"couriernew,bold", false, true, 0, 19},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FontForFace(c.face, c.italic, c.bold, c.font_index), c.position) << c.face;
  }
}

TEST(FontTagColor, ReadsDigitsHexAndNames) {
  struct Case {
    const char* tag;
    const char* operands;
  } cases[] = {
      {"font color=#FF8000", "1 .5 0"},
      {"font color=#000000", "0 0 0"},
      {"font color=#ff", "1 0 0"},
      {"font color=#GG0000", "0 0 0.5"},
      {"font color=red", "1 0 0"},
      {"font color=darkred", "0.7 0 0"},
      {"font color=dark-red", "0.7 0 0"},
      {"font color=dark red", "0.7 0 0"},
      {"font color=grey", "0.8 0.8 0.8"},
      {"font color=lime", "0.9 0.9 0.9"},
      {"font color=\"red\"", "0 0 0"},
      {"font color=12", "0 0 1"},
      {"font color=6", "1 0.9 0 "},
      {"font color=Brown", "0.6 0.3 0"},
      {"font color=black", "0 0 0"},
      {"font color=blue", "0 0 1"},
      {"font color=lightmagenta", "0.6 0.1 0.9 "},
      {"font color=zzz", "0 0 0"},
      {"font color=", "0 0 0"},
      {"font color=#1", "0 0 0"},
  };
  for (const Case& c : cases) EXPECT_EQ(FontTagColor(c.tag), c.operands) << c.tag;
  EXPECT_FALSE(FontTagColor("font size=3").has_value());
}

TEST(AttributeToInt, TakesOnlyWholeNumbers) {
  struct Case {
    const char* value;
    int32_t result;
  } cases[] = {{"300", 300}, {" 12 ", 12}, {"12.5", 12}, {"13.5", 14}, {"-4", -4},
               {"1e2", 100}, {"&H10", 16}, {"12abc", 0}, {"abc", 0},   {"", 0},
               {"1e99", 0},  {"+7", 7},    {".", 0},     {"&H", 0}};
  for (const Case& c : cases) EXPECT_EQ(AttributeToInt(c.value), c.result) << c.value;
}

}  // namespace
}  // namespace vellumox
