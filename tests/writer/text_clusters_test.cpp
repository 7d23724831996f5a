#include "writer/text_clusters.h"

#include <gtest/gtest.h>

#include <string>

#include "writer/code_page.h"

namespace vellumox {
namespace {

// A letter followed by count combining diaereses.
std::string Pile(char letter, int count) {
  std::string text(1, letter);
  for (int i = 0; i < count; ++i) AppendUtf8(0x0308, text);
  return text;
}

// The units of a text as ClusterEnd cuts it, and where the shaper's pieces begin: the two must
// agree, or a face would be shown text cut where the layout never cut it.
TEST(TextClusters, AfterThirtyMarksANewClusterStartsAndBothCutsAgree) {
  struct Case {
    std::string text;
    std::vector<size_t> units;  // the characters of each unit
  };
  const Case cases[] = {
      {"ab", {1, 1}},
      {Pile('e', 2), {3}},
      {Pile('e', 30), {31}},
      {Pile('e', 31), {31, 1}},
      {Pile('e', 300), {31, 31, 31, 31, 31, 31, 31, 31, 31, 22}},
      {Pile('a', 31) + Pile('b', 1), {31, 1, 2}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text.size());
    std::vector<size_t> units;
    std::vector<size_t> forced;  // unit starts that are marks
    for (size_t at = 0; at < c.text.size();) {
      const size_t end = ClusterEnd(c.text, at);
      size_t characters = 0;
      for (size_t k = at; k < end; ++characters) NextCodePoint(c.text, k);
      units.push_back(characters);
      size_t first = at;
      if (at > 0 && IsCombiningMark(NextCodePoint(c.text, first))) forced.push_back(at);
      at = end;
    }
    EXPECT_EQ(units, c.units);
    std::vector<size_t> pieces;
    for (size_t at = NextForcedClusterStart(c.text); at != std::string_view::npos;
         at = NextForcedClusterStart(c.text, at)) {
      pieces.push_back(at);
    }
    EXPECT_EQ(pieces, forced);
  }
}

}  // namespace
}  // namespace vellumox
