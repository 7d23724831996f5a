#include "writer/code_page.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace vellumox {
namespace {

TEST(Utf8Scanner, TellsValidFromInvalid) {
  struct Case {
    std::string text;
    bool valid;
    bool ascii;
  } cases[] = {
      {"plain", true, true},
      {"caf\xC3\xA9", true, false},
      {"\xE2\x82\xAC", true, false},       // euro sign
      {"\xF0\x9F\x98\x80", true, false},   // emoji
      {"caf\xE9", false, false},           // Windows-1252 e acute
      {"\xC0\xAF", false, false},          // overlong
      {"\xED\xA0\x80", false, false},      // surrogate
      {"\xF4\x90\x80\x80", false, false},  // beyond U+10FFFF
      {"\xE2\x82", false, false},          // cut short
      {"\xE1\x80(", false, false},         // a continuation byte missing
      {"\xC3(", false, false},
      {std::string("a\0b", 3), true, true},
  };
  for (const Case& c : cases) {
    Utf8Scanner s;
    s.Feed(c.text);
    EXPECT_EQ(s.Valid(), c.valid) << c.text;
    if (c.valid) {
      EXPECT_EQ(s.AllAscii(), c.ascii) << c.text;
    }
  }
}

// Decoding takes valid sequences whole and a byte that starts none as U+FFFD alone, whichever
// path (the quick one for two- and three-byte sequences, or the full check) reads it.
TEST(CodePage, NextCodePointDecodesAndStepsOverFaults) {
  struct Case {
    std::string text;
    std::vector<char32_t> decoded;
  } cases[] = {
      {"a\xC3\xA9", {U'a', 0xE9}},
      {"\xE4\xB8\xAD\xEF\xBF\xBD", {0x4E2D, 0xFFFD}},
      {"\xF0\x9F\x98\x80", {0x1F600}},
      {"\xE0\xA4\x85\xED\x9F\xBF", {0x905, 0xD7FF}},  // the leads with narrower ranges
      {"\xC3", {0xFFFD}},                             // cut short at the end
      {"\xE4\xB8", {0xFFFD, 0xFFFD}},
      {"\xC3(", {0xFFFD, U'('}},  // no continuation byte
      {"\xE4(\xAD", {0xFFFD, U'(', 0xFFFD}},
      {"\xC1\xBF", {0xFFFD, 0xFFFD}},  // overlong
      {"\xE0\x80\xAF", {0xFFFD, 0xFFFD, 0xFFFD}},
      {"\xED\xA0\x80", {0xFFFD, 0xFFFD, 0xFFFD}},  // surrogate
      {"\xF4\x90\x80\x80", {0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD}},
  };
  for (const Case& c : cases) {
    std::vector<char32_t> decoded;
    for (size_t at = 0; at < c.text.size();) decoded.push_back(NextCodePoint(c.text, at));
    EXPECT_EQ(decoded, c.decoded) << c.text;
  }
  // Every scalar value comes back from its UTF-8.
  for (char32_t value = 0; value < 0x110000; ++value) {
    if (value >= 0xD800 && value <= 0xDFFF) continue;
    std::string utf8;
    AppendUtf8(value, utf8);
    size_t at = 0;
    ASSERT_EQ(NextCodePoint(utf8, at), value);
    ASSERT_EQ(at, utf8.size());
  }
}

// Windows1252ByteOf knows exactly the characters of the code page: each byte's character gives
// the byte back, and no other character has one.
TEST(CodePage, EveryCharacterOfTheCodePageAndNoOtherHasItsByte) {
  std::map<char32_t, int> bytes;
  for (int byte = 0; byte < 256; ++byte) {
    const std::string utf8 = Windows1252ToUtf8(std::string(1, static_cast<char>(byte)));
    size_t at = 0;
    if (utf8 != "?" || byte == '?') bytes[NextCodePoint(utf8, at)] = byte;
  }
  EXPECT_EQ(bytes.size(), 251u);  // five codes are left free
  for (char32_t value = 0; value < 0x110000; ++value) {
    const auto known = bytes.find(value);
    ASSERT_EQ(Windows1252ByteOf(value), known == bytes.end() ? -1 : known->second)
        << static_cast<uint32_t>(value);
  }
}

TEST(Utf8Scanner, AcceptsSequencesSplitAcrossPieces) {
  Utf8Scanner s;
  s.Feed("ab\xE2");
  EXPECT_FALSE(s.Valid());
  EXPECT_FALSE(s.Broken());
  s.Feed("\x82");
  s.Feed(
      "\xAC"
      "cd");
  EXPECT_TRUE(s.Valid());
}

TEST(CodePage, DetectsTheEncodingOfText) {
  EXPECT_EQ(DetectTextEncoding("abc"), TextEncoding::kWindows1252);
  EXPECT_EQ(DetectTextEncoding("\xC3\xA9t\xC3\xA9"), TextEncoding::kUtf8);
  EXPECT_EQ(DetectTextEncoding("\xE9t\xE9"), TextEncoding::kWindows1252);
  EXPECT_EQ(DetectTextEncoding("\xFF\xFE"
                               "a\0"),
            TextEncoding::kUtf16LE);
  EXPECT_EQ(DetectTextEncoding("\xFE\xFF\0a"), TextEncoding::kUtf16BE);
  EXPECT_EQ(DetectTextEncoding("\xEF\xBB\xBF"
                               "abc"),
            TextEncoding::kUtf8);
}

TEST(CodePage, ConvertsUtf8ToWindows1252) {
  EXPECT_EQ(PlatformTextToWindows1252("caf\xC3\xA9 \xE2\x82\xAC"), "caf\xE9 \x80");
  // Characters that Windows-1252 lacks become "?", one per character.
  EXPECT_EQ(PlatformTextToWindows1252("\xC5\x81\xC3\xB3"
                                      "d\xC5\xBA"),
            "?\xF3"
            "d?");
  EXPECT_EQ(PlatformTextToWindows1252("\xF0\x9F\x98\x80!"), "?!");
  // Not UTF-8: byte for byte.
  EXPECT_EQ(PlatformTextToWindows1252("caf\xE9"), "caf\xE9");
  EXPECT_EQ(PlatformTextToWindows1252("\xEF\xBB\xBF\xC3\xA9"), "\xE9");
}

TEST(CodePage, ConvertsPieceByPiece) {
  CodePageConverter c(TextEncoding::kUtf8);
  std::string out;
  c.Convert("a\xC3", out);
  c.Convert(
      "\xA9"
      "b\xE2\x82",
      out);
  c.Convert("\xAC", out);
  c.Finish(out);
  EXPECT_EQ(out,
            "a\xE9"
            "b\x80");

  CodePageConverter u16(TextEncoding::kUtf16LE);
  std::string out16;
  u16.Convert(std::string("A\0\xE9\0\xAC", 5), out16);
  u16.Convert(std::string("\x20\x3D\xD8\x00\xDE", 5), out16);  // euro, then an emoji pair
  u16.Convert(std::string("\x01", 1), out16);                  // odd byte left over
  u16.Finish(out16);
  EXPECT_EQ(out16, "A\xE9\x80??");
}

TEST(CodePage, BackToUtf8ForFileNames) {
  EXPECT_EQ(Windows1252ToUtf8("caf\xE9 \x80"), "caf\xC3\xA9 \xE2\x82\xAC");
  EXPECT_EQ(Windows1252ToUtf8("plain"), "plain");
  EXPECT_EQ(Windows1252ToUtf8("a\x81z"), "a?z");
}

}  // namespace
}  // namespace vellumox
