#include "writer/code_page.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <vector>

#include "writer/byte_scan.h"

namespace vellumox {

void Utf8Scanner::Feed(std::string_view bytes) {
  if (!valid_) return;
  const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const unsigned char* end = p + bytes.size();
  while (p < end) {
    if (pending_ == 0) {
      // Plain ASCII runs, eight bytes at a time.
      while (end - p >= 8 &&
             !(byte_scan::Load(reinterpret_cast<const char*>(p)) & byte_scan::kHighs)) {
        p += 8;
      }
      if (p >= end) break;
      unsigned char c = *p++;
      if (c < 0x80) continue;
      ascii_ = false;
      // Two- and three-byte sequences whole within the piece, and without the narrower ranges
      // of some leads, at once (most characters beyond ASCII).
      if (c >= 0xC2 && c <= 0xDF && p < end && (*p & 0xC0) == 0x80) {
        ++p;
        continue;
      }
      if (c >= 0xE1 && c <= 0xEF && c != 0xED && end - p >= 2 && (p[0] & 0xC0) == 0x80 &&
          (p[1] & 0xC0) == 0x80) {
        p += 2;
        continue;
      }
      lower_ = 0x80;
      upper_ = 0xBF;
      if (c >= 0xC2 && c <= 0xDF) {
        pending_ = 1;
      } else if (c >= 0xE0 && c <= 0xEF) {
        pending_ = 2;
        if (c == 0xE0) lower_ = 0xA0;  // no overlong forms
        if (c == 0xED) upper_ = 0x9F;  // no surrogates
      } else if (c >= 0xF0 && c <= 0xF4) {
        pending_ = 3;
        if (c == 0xF0) lower_ = 0x90;
        if (c == 0xF4) upper_ = 0x8F;  // nothing beyond U+10FFFF
      } else {
        valid_ = false;
        return;
      }
    } else {
      unsigned char c = *p++;
      if (c < lower_ || c > upper_) {
        valid_ = false;
        return;
      }
      lower_ = 0x80;
      upper_ = 0xBF;
      --pending_;
    }
  }
}

size_t Utf8SequenceLength(std::string_view text, size_t at) {
  auto byte = [&](size_t i) { return i < text.size() ? static_cast<unsigned char>(text[i]) : 0u; };
  const unsigned lead = byte(at);
  if (lead < 0x80) return at < text.size() ? 1 : 0;
  size_t length = 0;
  unsigned low = 0x80, high = 0xBF;  // the range of the first continuation byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // no overlong forms
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;  // nothing past U+10FFFF
  } else {
    return 0;
  }
  for (size_t k = 1; k < length; ++k) {
    const unsigned c = byte(at + k);
    if (c < (k == 1 ? low : 0x80) || c > (k == 1 ? high : 0xBF)) return 0;
  }
  return length;
}

bool IsValidUtf8(std::string_view text) {
  Utf8Scanner scanner;
  scanner.Feed(text);
  return scanner.Valid();
}

size_t ByteOrderMarkLength(std::string_view start, TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::kUtf8:
      return start.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
    case TextEncoding::kUtf16LE:
      return start.substr(0, 2) == "\xFF\xFE" ? 2 : 0;
    case TextEncoding::kUtf16BE:
      return start.substr(0, 2) == "\xFE\xFF" ? 2 : 0;
    case TextEncoding::kWindows1252:
      return 0;
  }
  return 0;
}

TextEncoding DetectTextEncoding(std::string_view text) {
  if (text.substr(0, 2) == "\xFF\xFE") return TextEncoding::kUtf16LE;
  if (text.substr(0, 2) == "\xFE\xFF") return TextEncoding::kUtf16BE;
  // A UTF-8 byte-order mark declares UTF-8, whatever follows.
  if (text.substr(0, 3) == "\xEF\xBB\xBF") return TextEncoding::kUtf8;
  Utf8Scanner scanner;
  scanner.Feed(text);
  if (scanner.Valid() && !scanner.AllAscii()) return TextEncoding::kUtf8;
  return TextEncoding::kWindows1252;
}

namespace {
const char* IconvName(TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::kUtf8:
      return "UTF-8";
    case TextEncoding::kUtf16LE:
      return "UTF-16LE";
    case TextEncoding::kUtf16BE:
      return "UTF-16BE";
    case TextEncoding::kWindows1252:
      return "WINDOWS-1252";
  }
  return "WINDOWS-1252";
}

// Length of the character that starts at p, used to step over one that cannot be converted.
// In UTF-8 a valid sequence is stepped over whole, and a byte that starts none alone, so that
// each invalid byte becomes one "?".
size_t CharacterLength(TextEncoding encoding, const unsigned char* p, size_t left) {
  switch (encoding) {
    case TextEncoding::kUtf8: {
      Utf8Scanner scanner;
      for (size_t n = 1; n <= 4 && n <= left; ++n) {
        scanner = Utf8Scanner();
        scanner.Feed(std::string_view(reinterpret_cast<const char*>(p), n));
        if (scanner.Broken()) return 1;
        if (scanner.Valid()) return n;
      }
      return 1;
    }
    case TextEncoding::kUtf16LE:
    case TextEncoding::kUtf16BE: {
      if (left < 2) return left;
      unsigned unit = encoding == TextEncoding::kUtf16LE ? (p[0] | p[1] << 8) : (p[0] << 8 | p[1]);
      if (unit >= 0xD800 && unit <= 0xDBFF && left >= 4) {
        unsigned next =
            encoding == TextEncoding::kUtf16LE ? (p[2] | p[3] << 8) : (p[2] << 8 | p[3]);
        if (next >= 0xDC00 && next <= 0xDFFF) return 4;
      }
      return 2;
    }
    case TextEncoding::kWindows1252:
      return 1;
  }
  return 1;
}

const iconv_t kNoConversion = reinterpret_cast<iconv_t>(-1);

// Converts in with cd, appending to out. A character that cannot be converted, or a broken
// sequence, becomes one "?" and is stepped over. An incomplete sequence at the end is kept in
// *carry for the next piece when carry is given, else it becomes "?" too.
void RunIconv(iconv_t cd, TextEncoding from, std::string_view in, std::string& out,
              std::string* carry, std::vector<size_t>* replaced = nullptr) {
  char* src = const_cast<char*>(in.data());
  size_t src_left = in.size();
  char chunk[8192];
  while (src_left > 0) {
    char* dst = chunk;
    size_t dst_left = sizeof chunk;
    size_t r = iconv(cd, &src, &src_left, &dst, &dst_left);
    out.append(chunk, static_cast<size_t>(dst - chunk));
    if (r != static_cast<size_t>(-1)) break;
    if (errno == E2BIG) continue;
    if (errno == EINVAL && carry) {
      carry->assign(src, src_left);
      break;
    }
    size_t skip = CharacterLength(from, reinterpret_cast<unsigned char*>(src), src_left);
    if (replaced) replaced->push_back(out.size());
    out.push_back('?');
    src += skip;
    src_left -= skip;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
}

// Without a converter, ASCII is kept and everything else marked as unknown.
void KeepAscii(std::string_view in, std::string& out) {
  for (unsigned char c : in) out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
}

}  // namespace

CodePageConverter::CodePageConverter(TextEncoding from, bool to_utf8)
    : from_(from), cd_(kNoConversion) {
  if (from_ != TextEncoding::kWindows1252) {
    cd_ = iconv_open(to_utf8 ? "UTF-8" : "WINDOWS-1252", IconvName(from_));
  }
}

CodePageConverter::~CodePageConverter() {
  if (static_cast<iconv_t>(cd_) != kNoConversion) iconv_close(static_cast<iconv_t>(cd_));
}

void CodePageConverter::Convert(std::string_view in, std::string& out) {
  if (from_ == TextEncoding::kWindows1252) {
    out.append(in);
    return;
  }
  std::string joined;
  if (!carry_.empty()) {
    joined = carry_;
    joined.append(in);
    carry_.clear();
    in = joined;
  }
  if (static_cast<iconv_t>(cd_) == kNoConversion) {
    const size_t start = out.size();
    KeepAscii(in, out);
    written_ += out.size() - start;
    return;
  }
  const size_t start = out.size();
  std::vector<size_t> replaced;
  RunIconv(static_cast<iconv_t>(cd_), from_, in, out, &carry_, &replaced);
  if (!replaced.empty()) {
    if (replacements_ == 0) first_replacement_ = written_ + (replaced.front() - start);
    replacements_ += replaced.size();
  }
  written_ += out.size() - start;
}

void CodePageConverter::Finish(std::string& out) {
  if (!carry_.empty()) {
    if (replacements_ == 0) first_replacement_ = written_;
    ++replacements_;
    ++written_;
    out.push_back('?');
    carry_.clear();
  }
}

std::string PlatformTextToWindows1252(std::string_view text) {
  if (DetectTextEncoding(text) != TextEncoding::kUtf8) return std::string(text);
  text.remove_prefix(ByteOrderMarkLength(text, TextEncoding::kUtf8));
  CodePageConverter converter(TextEncoding::kUtf8);
  std::string out;
  converter.Convert(text, out);
  converter.Finish(out);
  return out;
}

std::string Windows1252ToUtf8(std::string_view text) {
  bool ascii = true;
  for (unsigned char c : text) ascii = ascii && c < 0x80;
  if (ascii) return std::string(text);
  std::string out;
  iconv_t cd = iconv_open("UTF-8", "WINDOWS-1252");
  if (cd == kNoConversion) {
    KeepAscii(text, out);
    return out;
  }
  RunIconv(cd, TextEncoding::kWindows1252, text, out, nullptr);
  iconv_close(cd);
  return out;
}

char32_t NextCodePointSlowly(std::string_view text, size_t& at) {
  const size_t length = Utf8SequenceLength(text, at);
  if (length == 0) {
    ++at;
    return 0xFFFD;
  }
  const auto lead = static_cast<unsigned char>(text[at]);
  char32_t value = length == 1 ? lead : lead & (0x7F >> length);
  for (size_t k = 1; k < length; ++k) value = value << 6 | (text[at + k] & 0x3F);
  at += length;
  return value;
}

int Windows1252HighByteOf(char32_t c) {
  // The characters at 0x80 to 0x9F; 0 marks a code that Windows-1252 leaves free.
  static constexpr char32_t kHigh[32] = {
      0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
  for (int k = 0; k < 32; ++k) {
    if (kHigh[k] == c && c != 0) return 0x80 + k;
  }
  return -1;
}

bool Utf8ToWindows1252(std::string_view utf8, std::string& out) {
  bool all = true;
  for (size_t at = 0; at < utf8.size();) {
    const auto byte = static_cast<unsigned char>(utf8[at]);
    if (byte < 0x80) {
      out += static_cast<char>(byte);
      ++at;
      continue;
    }
    const int mapped = Windows1252ByteOf(NextCodePoint(utf8, at));
    all = all && mapped >= 0;
    out += mapped >= 0 ? static_cast<char>(mapped) : '?';
  }
  return all;
}

}  // namespace vellumox
