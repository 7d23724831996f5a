#include "writer/pdf_string.h"

#include <bit>
#include <cstring>

#include "writer/byte_scan.h"
#include "writer/code_page.h"

namespace vellumox {

namespace {

// Bit k set when byte k of the sixteen at p takes a backslash.
unsigned EscapeMask(const char* p) {
  return byte_scan::Match16(p, '\\', '(', ')');
}

// The last bytes of a text (fewer than sixteen) into a block padded with zeros, which need no
// escape: copied with loads of fixed size, where a copy of variable length is a call.
void LoadTail(const char* p, size_t n, char (&block)[16]) {
  std::memset(block, 0, 16);
  if (n >= 8) {
    std::memcpy(block, p, 8);
    std::memcpy(block + n - 8, p + n - 8, 8);
  } else if (n >= 4) {
    std::memcpy(block, p, 4);
    std::memcpy(block + n - 4, p + n - 4, 4);
  } else if (n > 0) {
    block[0] = p[0];
    block[n / 2] = p[n / 2];
    block[n - 1] = p[n - 1];
  }
}

// Escapes the sixteen bytes at block (bit k of found set where byte k needs a backslash) to out,
// which has room for 32 more bytes; returns the end. Each stretch between two escapes goes out
// as one sixteen-byte store from a padded copy of the block, whatever its length: a copy call
// per stretch cost more than the escaping itself. Inlined into the block loop: a call per block
// with escapes cost 2 %.
[[gnu::always_inline]] inline char* EscapeBlock(const char* block, unsigned found, char* out) {
  char padded[32] = {};
  std::memcpy(padded, block, 16);
  unsigned from = 0;
  for (; found != 0; found &= found - 1) {
    const auto at = static_cast<unsigned>(std::countr_zero(found));
    std::memcpy(out, padded + from, 16);
    out += at - from;
    *out++ = '\\';
    from = at;
  }
  std::memcpy(out, padded + from, 16);
  return out + (16 - from);
}

// Writes text escaped at out, which has room for twice its bytes and 32 more; returns the end.
char* WriteEscaped(std::string_view text, char* out) {
  const char* p = text.data();
  const char* end = p + text.size();
  if (!byte_scan::kWide) {
    for (; p < end; ++p) {
      if (TakesBackslash(*p)) *out++ = '\\';
      *out++ = *p;
    }
    return out;
  }
  // Sixteen bytes at a time: most blocks of a text have nothing to escape and go out in one
  // store.
  for (; end - p >= 16; p += 16) {
    const unsigned found = EscapeMask(p);
    if (found == 0) {
      std::memcpy(out, p, 16);
      out += 16;
    } else {
      out = EscapeBlock(p, found, out);
    }
  }
  // The last bytes as one padded block, the padding then taken back: a byte-by-byte loop over
  // them cost more than the blocks before them.
  if (p < end) {
    const auto rest = static_cast<size_t>(end - p);
    char block[16];
    LoadTail(p, rest, block);
    out = EscapeBlock(block, EscapeMask(block), out) - (16 - rest);
  }
  return out;
}

}  // namespace

size_t CountEscaped(std::string_view text) {
  const char* p = text.data();
  const char* end = p + text.size();
  size_t count = 0;
  if (byte_scan::kWide) {
    // Sixteen bytes a step, counted by the bits of their match mask.
    for (; end - p >= 16; p += 16) count += std::popcount(EscapeMask(p));
    if (p < end) {
      char block[16];
      LoadTail(p, static_cast<size_t>(end - p), block);
      count += std::popcount(EscapeMask(block));
    }
    return count;
  }
  for (; p < end; ++p) count += TakesBackslash(*p);
  return count;
}

void AppendEscaped(std::string_view text, std::string& out) {
  // Room for every byte escaped, and for the last block's whole store.
  const size_t start = out.size();
  out.resize(start + 2 * text.size() + 32);
  char* end = WriteEscaped(text, out.data() + start);
  out.resize(static_cast<size_t>(end - out.data()));
}

std::string EscapePdfString(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 8);
  AppendEscaped(text, out);
  return out;
}

std::string PdfTextString(std::string_view text) {
  bool plain = true;
  for (unsigned char c : text) plain = plain && (c < 0x80 || c > 0x9F);
  if (plain) return "(" + EscapePdfString(text) + ")";
  // Windows-1252's characters at 0x80 to 0x9F; the five codes it leaves free keep their value.
  static constexpr uint16_t kHigh[32] = {
      0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out = "<FEFF";
  for (unsigned char c : text) {
    const unsigned unit = c >= 0x80 && c <= 0x9F ? kHigh[c - 0x80] : c;
    for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(unit >> shift) & 15];
  }
  return out + ">";
}

std::string PdfUtf16String(std::string_view utf8) {
  return "<FEFF" + Utf16BigEndianHex(utf8) + ">";
}

std::string Utf16BigEndianHex(std::string_view utf8) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  auto unit = [&](unsigned u) {
    for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(u >> shift) & 15];
  };
  for (size_t at = 0; at < utf8.size();) {
    char32_t c = NextCodePoint(utf8, at);
    if (c >= 0x10000) {
      c -= 0x10000;
      unit(0xD800 + (c >> 10));
      unit(0xDC00 + (c & 0x3FF));
    } else {
      unit(c);
    }
  }
  return out;
}

}  // namespace vellumox
