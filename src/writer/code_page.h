// Text of this platform (UTF-8, sometimes UTF-16) turned into the PDF's single-byte code page,
// Windows-1252, where one character is one byte as the writer's offsets require.
#pragma once

#include <string>
#include <string_view>

#include "platform/utf8.h"  // AppendUtf8, used with these functions

namespace vellumox {

enum class TextEncoding { kWindows1252, kUtf8, kUtf16LE, kUtf16BE };

// Checks UTF-8 validity over text fed in pieces of any size.
class Utf8Scanner {
 public:
  void Feed(std::string_view bytes);
  // Valid so far and not in the middle of a sequence.
  bool Valid() const { return valid_ && pending_ == 0; }
  bool AllAscii() const { return ascii_; }
  // Invalid already, whatever follows.
  bool Broken() const { return !valid_; }

 private:
  bool valid_ = true;
  bool ascii_ = true;
  int pending_ = 0;             // continuation bytes still expected
  unsigned char lower_ = 0x80;  // allowed range of the next continuation byte
  unsigned char upper_ = 0xBF;
};

// The length of the valid UTF-8 sequence that starts at text[at] (1 for ASCII), 0 when the
// bytes there are no valid UTF-8.
size_t Utf8SequenceLength(std::string_view text, size_t at);
bool IsValidUtf8(std::string_view text);

// How text that starts with these bytes is read: UTF-16 when it starts with a UTF-16 byte-order
// mark; otherwise UTF-8 when the whole text is valid UTF-8 and not plain ASCII; otherwise
// Windows-1252 byte for byte. Used for whole texts held in memory.
TextEncoding DetectTextEncoding(std::string_view text);

// Number of bytes of a byte-order mark that the encoding drops at the start of the text.
size_t ByteOrderMarkLength(std::string_view start, TextEncoding encoding);

// Converts text of one encoding into Windows-1252, piece by piece; a character that Windows-1252
// lacks becomes "?". Owns its conversion descriptor; one per conversion, never shared.
class CodePageConverter {
 public:
  // to_utf8: into UTF-8 instead, keeping every character (an invalid sequence becomes "?").
  explicit CodePageConverter(TextEncoding from, bool to_utf8 = false);
  ~CodePageConverter();
  CodePageConverter(const CodePageConverter&) = delete;
  CodePageConverter& operator=(const CodePageConverter&) = delete;

  // Appends the conversion of in to out; an incomplete sequence at the end waits for the next
  // piece.
  void Convert(std::string_view in, std::string& out);
  // Ends the text: a sequence left incomplete becomes "?".
  void Finish(std::string& out);
  // The "?" put in so far for bytes that form no character of the encoding (into UTF-8 these
  // are all of them; into Windows-1252 also the characters that it lacks), and where the first
  // stands in everything converted so far.
  size_t Replacements() const { return replacements_; }
  size_t FirstReplacement() const { return first_replacement_; }

 private:
  size_t replacements_ = 0;
  size_t first_replacement_ = 0;
  size_t written_ = 0;  // bytes appended in all
  TextEncoding from_;
  void* cd_;  // the iconv descriptor; an invalid one when the system has no such conversion
  std::string carry_;
};

// Texts from the command line and the windows (author, title, ...), UTF-8 on this platform,
// in the PDF's code page. Text that is not valid UTF-8 is taken byte for byte.
std::string PlatformTextToWindows1252(std::string_view text);

// The code point of the UTF-8 sequence at text[at], moving at past it; a byte that starts no
// valid sequence gives U+FFFD and moves on by one.
char32_t NextCodePointSlowly(std::string_view text, size_t& at);
inline char32_t NextCodePoint(std::string_view text, size_t& at) {
  // ASCII, and the two- and three-byte sequences that need no check beyond their continuation
  // bytes, decoded here; the rest (and every fault) by the full check.
  const size_t left = at < text.size() ? text.size() - at : 0;
  if (left > 0) {
    const auto b0 = static_cast<unsigned char>(text[at]);
    if (b0 < 0x80) {
      ++at;
      return b0;
    }
    if (b0 >= 0xC2 && b0 <= 0xDF && left >= 2) {
      const auto b1 = static_cast<unsigned char>(text[at + 1]);
      if ((b1 & 0xC0) == 0x80) {
        at += 2;
        return static_cast<char32_t>((b0 & 0x1F) << 6 | (b1 & 0x3F));
      }
    } else if (b0 >= 0xE1 && b0 <= 0xEF && b0 != 0xED && left >= 3) {
      const auto b1 = static_cast<unsigned char>(text[at + 1]);
      const auto b2 = static_cast<unsigned char>(text[at + 2]);
      if ((b1 & 0xC0) == 0x80 && (b2 & 0xC0) == 0x80) {
        at += 3;
        return static_cast<char32_t>((b0 & 0x0F) << 12 | (b1 & 0x3F) << 6 | (b2 & 0x3F));
      }
    }
  }
  return NextCodePointSlowly(text, at);
}
// The Windows-1252 byte of a character, or -1 when the code page lacks it (the five codes
// that Windows-1252 leaves free included).
int Windows1252HighByteOf(char32_t character);  // for U+0152 to U+2122
inline int Windows1252ByteOf(char32_t character) {
  if (character < 0x80 || (character >= 0xA0 && character <= 0xFF)) {
    return static_cast<int>(character);
  }
  // The other 27 stand from U+0152 to U+02DC and from U+2013 to U+2122.
  if (character < 0x152 || character > 0x2122 || (character > 0x2DC && character < 0x2013)) {
    return -1;
  }
  return Windows1252HighByteOf(character);
}
// UTF-8 text into Windows-1252; false when a character is missing there (it becomes "?").
bool Utf8ToWindows1252(std::string_view utf8, std::string& out);

// Windows-1252 back to UTF-8, for file names found inside converted text. Bytes that have no
// character in Windows-1252 become "?".
std::string Windows1252ToUtf8(std::string_view text);

}  // namespace vellumox
