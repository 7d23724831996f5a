#include "conversion/file_patterns.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "support/test_support.h"

namespace vellumox {
namespace {

using Strings = std::vector<std::string>;

// Names in the order a reader counts them: numbers by value, letters without case, other
// characters by code point, ties by their bytes; the same order from any shuffle.
TEST(NaturalOrder, NumbersByValueLettersWithoutCaseTiesByBytes) {
  const Strings cases[] = {
      {"a", "p1", "p2", "P10"},
      {"p01.jpg", "p2.jpg", "p10.jpg", "P23.JPG", "p100.jpg"},
      {"img007.png", "img7.png", "img08.png"},  // equal values: by bytes, 007 before 7
      {"A.txt", "a.txt", "b.txt"},              // equal without case: by bytes, A before a
      {"x 1.jpg", "x.jpg", "x1.jpg"},           // a blank before a point before a digit
      {"Zebra", "\xC3\x89t\xC3\xA9",
       "\xC5\x81\xC3\xB3"
       "d\xC5\xBA"},  // Zebra, Été, Łódź
      {"18446744073709551615", "18446744073709551616", "99999999999999999999999"},
  };
  std::mt19937 random(7);
  for (const Strings& expected : cases) {
    SCOPED_TRACE(expected.front());
    for (int shuffle = 0; shuffle < 5; ++shuffle) {
      Strings names = expected;
      std::shuffle(names.begin(), names.end(), random);
      std::sort(names.begin(), names.end(), NaturalLess);
      EXPECT_EQ(names, expected);
    }
    for (const std::string& name : expected) EXPECT_FALSE(NaturalLess(name, name));
  }
}

TEST(NaturalOrder, PatternMatchesComeInIt) {
  test::TempDir dir;
  for (const char* name : {"p10.jpg", "P23.JPG", "p2.jpg", "p01.jpg", "notes.txt"}) {
    test::WriteFile(dir / name, "x");
  }
  EXPECT_EQ(MatchingFiles(dir / "*.jpg"),
            (Strings{dir / "p01.jpg", dir / "p2.jpg", dir / "p10.jpg", dir / "P23.JPG"}));
  EXPECT_EQ(MatchingNames(dir.path() + "/", "*.jpg;*.txt"),
            (Strings{"notes.txt", "p01.jpg", "p2.jpg", "p10.jpg", "P23.JPG"}));
}

}  // namespace
}  // namespace vellumox
