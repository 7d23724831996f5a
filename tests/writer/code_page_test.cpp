#include "writer/code_page.h"

#include <gtest/gtest.h>

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
