#include "writer/shaped_words.h"

#include <gtest/gtest.h>

#include <string>

namespace vellumox {
namespace {

// The cache keeps the last words used, at most its capacity: a word used again stays, the
// least recently used one goes to make room, and a word that went is never found again under
// its old key, though its entry now holds another word.
TEST(ShapedWords, KeepsTheWordsUsedLastWithinItsCapacity) {
  ShapedWords words(3);
  auto add = [&](const std::string& key, int64_t advance) {
    ASSERT_EQ(words.Find(key), nullptr) << key;
    words.Add(key).advance = advance;
  };
  add("alpha", 1);
  add("beta", 2);
  add("gamma", 3);
  ASSERT_NE(words.Find("alpha"), nullptr);  // alpha is the most recent now, beta the least
  EXPECT_EQ(words.Find("alpha")->advance, 1);
  add("delta", 4);  // beta goes
  EXPECT_EQ(words.size(), 3u);
  EXPECT_EQ(words.Find("beta"), nullptr);
  for (const auto& [key, advance] :
       {std::pair<std::string, int64_t>{"alpha", 1}, {"gamma", 3}, {"delta", 4}}) {
    ASSERT_NE(words.Find(key), nullptr) << key;
    EXPECT_EQ(words.Find(key)->advance, advance) << key;
  }
  // Many words through a small cache: each found with its own advance while kept, and the
  // cache never larger than its capacity.
  ShapedWords small(16);
  for (int round = 0; round < 3; ++round) {
    for (int k = 0; k < 200; ++k) {
      const std::string key = "word" + std::to_string(k % (round == 1 ? 12 : 200));
      if (ShapedWord* word = small.Find(key)) {
        ASSERT_EQ(word->advance, std::stoll(key.substr(4))) << key;
      } else {
        ShapedWord& fresh = small.Add(key);
        EXPECT_TRUE(fresh.glyphs.empty() && fresh.codes.empty() && fresh.instance == 0);
        fresh.advance = std::stoll(key.substr(4));
        fresh.codes = "x";
      }
      ASSERT_LE(small.size(), 16u);
    }
  }
}

// Keys that differ in a byte anywhere, or in length alone, hash apart.
TEST(ShapedWords, KeysThatDifferHashApart) {
  const std::string base("\x19\x00\x00\x00l\xD0\xBF\xD1\x80\xD0\xB0\xD0\xB2\xD0\xB0", 15);
  const size_t hash = TextHash()(base);
  for (size_t at = 0; at < base.size(); ++at) {
    std::string changed = base;
    changed[at] = static_cast<char>(changed[at] ^ 1);
    EXPECT_NE(TextHash()(changed), hash) << at;
  }
  EXPECT_NE(TextHash()(base + std::string(1, '\0')), hash);
  EXPECT_NE(TextHash()(""), TextHash()(std::string(1, '\0')));
}

}  // namespace
}  // namespace vellumox
