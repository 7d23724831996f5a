// The display order of lines in both directions, shown as the stretches from left to right,
// each marked ">" (left to right) or "<" (right to left). Hebrew letters stand for themselves.
#include "layout/display_order.h"

#include <fribidi.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "writer/code_page.h"

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

// Every character that the bidirectional algorithm sets right to left, at an Arabic number's
// level, or that embeds or isolates, makes a text hold right-to-left text; no other does.
TEST(DisplayOrder, HoldsRightToLeftKnowsEveryCharacter) {
  for (char32_t c = 0x80; c < 0x110000; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    const FriBidiCharType type = fribidi_get_bidi_type(c);
    const bool needs = FRIBIDI_IS_RTL(type) || FRIBIDI_IS_EXPLICIT(type) ||
                       FRIBIDI_IS_ISOLATE(type) || type == FRIBIDI_TYPE_AN;
    std::string utf8 = "a";
    AppendUtf8(c, utf8);
    ASSERT_EQ(HoldsRightToLeft(utf8), needs) << std::hex << static_cast<uint32_t>(c);
  }
}

}  // namespace
}  // namespace vellumox
