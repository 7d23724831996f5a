// The display order of lines in both directions, shown as the stretches from left to right,
// each marked ">" (left to right) or "<" (right to left). Hebrew letters stand for themselves.
#include "layout/display_order.h"

#include <gtest/gtest.h>

namespace vellumox {
namespace {

std::string Shown(std::string_view text, bool right_to_left) {
  std::string out;
  for (const DirectionRun& run : DisplayOrder(text, right_to_left)) {
    out +=
        (run.right_to_left ? "<" : ">") + std::string(text.substr(run.begin, run.end - run.begin));
  }
  return out;
}

TEST(DisplayOrder, RunsStandInTheOrderTheyAreShown) {
  const std::string shalom = "\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D",
                    olam = "\xD7\xA2\xD7\x95\xD7\x9C\xD7\x9D";
  struct Case {
    std::string text;
    bool right_to_left;
    std::string shown;
  } cases[] = {
      {"plain text", false, ">plain text"},
      {shalom + " " + olam, true, "<" + shalom + " " + olam},
      {"abc " + shalom + " " + olam + " def", false, ">abc <" + shalom + " " + olam + "> def"},
      // A Latin word and a number in a Hebrew line keep their own order, and stand where the
      // right-to-left order puts them.
      {shalom + " abc " + olam, true, "< " + olam + ">abc<" + shalom + " "},
      {shalom + " 123", true, ">123<" + shalom + " "},
      {"", true, "<"},
  };
  for (const Case& c : cases) EXPECT_EQ(Shown(c.text, c.right_to_left), c.shown) << c.text;
  EXPECT_TRUE(StartsRightToLeft("123 " + shalom + " abc"));
  EXPECT_FALSE(StartsRightToLeft("123 abc " + shalom));
  EXPECT_FALSE(StartsRightToLeft("123 ..."));
  EXPECT_EQ(ReversedForDisplay("(a) \xAB"
                               "b]"),
            "[b\xBB (a)");
}

}  // namespace
}  // namespace vellumox
