// Where lines beyond Windows-1252 may break, shown as the text with "|" at each opportunity.
#include "layout/line_breaks.h"

#include <gtest/gtest.h>

#include <string>

namespace vellumox {
namespace {

std::string Marked(LineBreaker& breaker, const std::string& text) {
  std::string out;
  size_t from = 0;
  for (size_t at : breaker.Opportunities(text)) {
    out += text.substr(from, at - from) + "|";
    from = at;
  }
  return out + text.substr(from);
}

TEST(LineBreaker, BreaksWhereEachScriptsReadersBreak) {
  const struct {
    const char* why;
    const char* text;
    const char* marked;
  } cases[] = {
      {"blanks and hyphens", "Zażółć gęślą-jaźń", "Zażółć |gęślą-|jaźń"},
      {"Thai words, by the dictionary", "ทำให้คนดีใจ", "ทำให้|คน|ดีใจ"},
      {"a zero width space", "abc\u200Bdef", "abc\u200B|def"},
      {"Korean at blanks alone", "대한민국 사람들은", "대한민국 |사람들은"},
      {"Japanese punctuation never starts or ends a line", "「日本」です。", "「日|本」|で|す。"},
      {"ideographs next to Hangul", "韓國한국", "韓|國|한국"},
      {"nothing to break", "", ""},
  };
  LineBreaker breaker;
  for (const auto& c : cases) {
    EXPECT_EQ(Marked(breaker, c.text), c.marked) << c.why;
  }
}

// Text that is not UTF-8 breaks somewhere sensible and never past its end.
TEST(LineBreaker, BrokenBytesStayInsideTheText) {
  LineBreaker breaker;
  const std::string broken = "ab\xE0\xB8 cd\xFF";
  for (size_t at : breaker.Opportunities(broken)) {
    EXPECT_GT(at, 0u);
    EXPECT_LT(at, broken.size());
  }
}

}  // namespace
}  // namespace vellumox
