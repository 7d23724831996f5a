#include "writer/input_text.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace vellumox {
namespace {

using test::TempDir;
using test::WriteFile;

std::vector<std::string> ReadLines(const std::string& bytes) {
  TempDir dir;
  WriteFile(dir / "in.txt", bytes);
  InputTextReader reader;
  EXPECT_TRUE(reader.Open(dir / "in.txt"));
  std::vector<std::string> lines;
  std::string line;
  while (reader.NextLine(line)) lines.push_back(line);
  EXPECT_EQ(reader.ReadError(), 0);
  return lines;
}

using Lines = std::vector<std::string>;

TEST(InputTextReader, SplitsOnEveryKindOfLineEnd) {
  struct Case {
    std::string bytes;
    Lines lines;
  } cases[] = {
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\rb\r", {"a", "b"}},
      {"a\nb\n", {"a", "b"}},
      {"a\r\nb", {"a", "b"}},  // last line without a line end
      {"a\n\r\nb", {"a", "", "b"}},
      {"a\r\n\r\n", {"a", ""}},
      {"\r", {""}},
      {"\n\n", {"", ""}},
      {"a\r\r\nb", {"a", "", "b"}},
      {std::string("x\0y\fz\r", 6), {std::string("x\0y\fz", 5)}},
  };
  for (const Case& c : cases) EXPECT_EQ(ReadLines(c.bytes), c.lines);
}

TEST(InputTextReader, ConvertsUtf8AndUtf16ToWindows1252) {
  EXPECT_EQ(ReadLines("caf\xC3\xA9\r\n\xE2\x82\xAC 5\n"), (Lines{"caf\xE9", "\x80 5"}));
  EXPECT_EQ(ReadLines("\xEF\xBB\xBF"
                      "abc\xC3\xA9"),
            (Lines{"abc\xE9"}));
  EXPECT_EQ(ReadLines("caf\xE9\r\n"), (Lines{"caf\xE9"}));  // already Windows-1252
  // Plain ASCII with a byte-order mark only: valid UTF-8, so the mark goes.
  EXPECT_EQ(ReadLines("\xEF\xBB\xBF"
                      "abc"),
            (Lines{"abc"}));
  // A mark declares UTF-8 even when invalid bytes follow: each becomes "?".
  EXPECT_EQ(ReadLines("\xEF\xBB\xBF"
                      "a\xFF\xC3\xA9\x80z"),
            (Lines{"a?\xE9?z"}));
  std::string utf16le(
      "\xFF\xFE"
      "a\0\r\0\n\0\xE9\0",
      10);
  EXPECT_EQ(ReadLines(utf16le), (Lines{"a", "\xE9"}));
  std::string utf16be("\xFE\xFF\0b\0\n\x20\xAC", 8);
  EXPECT_EQ(ReadLines(utf16be), (Lines{"b", "\x80"}));
}

TEST(InputTextReader, HandlesLinesAcrossReadChunks) {
  // Line ends and multi-byte characters that straddle the reader's chunk boundary.
  std::string text;
  while (text.size() < 600000) text += "line \xC3\xA9 with text\r\n";
  Lines lines = ReadLines(text);
  ASSERT_EQ(lines.size(), text.size() / 19);
  for (const auto& l : lines) ASSERT_EQ(l, "line \xE9 with text");
}

TEST(InputTextReader, DecidesTheEncodingAtTheFirstByteAboveAscii) {
  // Non-ASCII only far into the file: the whole file still decides.
  std::string ascii(700000, 'a');
  EXPECT_EQ(ReadLines(ascii + "\n\xC3\xA9"), (Lines{ascii, "\xE9"}));
  EXPECT_EQ(ReadLines(ascii + "\n\xC3\xA9\n" + ascii + "\xE9"),
            (Lines{ascii, "\xC3\xA9", ascii + "\xE9"}));
  // A UTF-8 sequence split across the reader's chunks.
  std::string split(262143, 'b');
  EXPECT_EQ(ReadLines(split + "\xE2\x82\xAC"), (Lines{split + "\x80"}));
}

TEST(InputTextReader, CutsOverlongLinesIntoBoundedPieces) {
  std::string text(InputTextReader::kMaxLineLength + 10, 'a');
  text += "\nb";
  Lines lines = ReadLines(text);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].size(), InputTextReader::kMaxLineLength);
  EXPECT_EQ(lines[1], std::string(10, 'a'));
  EXPECT_EQ(lines[2], "b");
}

}  // namespace
}  // namespace vellumox
