#include "writer/pdf_string.h"

#include <bit>

#include "writer/byte_scan.h"
#include "writer/code_page.h"

namespace vellumox {

bool NeedsEscaping(std::string_view text) {
  const char* p = text.data();
  const char* end = p + text.size();
  for (; end - p >= 8; p += 8) {
    uint64_t w = byte_scan::Load(p);
    if (byte_scan::HasByte(w, '\\') | byte_scan::HasByte(w, '(') | byte_scan::HasByte(w, ')')) {
      break;
    }
  }
  for (; p < end; ++p) {
    if (*p == '\\' || *p == '(' || *p == ')') return true;
  }
  return false;
}

void AppendEscaped(std::string_view text, std::string& out) {
  const char* p = text.data();
  const char* end = p + text.size();
  const char* run = p;  // start of the bytes not yet copied
  auto escape_at = [&](const char* at) {
    out.append(run, static_cast<size_t>(at - run));
    out.push_back('\\');
    run = at;
  };
  // Sixteen bytes at a time: most of a text has nothing to escape, and the bytes between two
  // that need it are copied in one piece.
  if (byte_scan::kWide && end - p >= 16) {
    for (; end - p >= 16; p += 16) {
      for (unsigned found = byte_scan::Match16(p, '\\', '(', ')'); found != 0; found &= found - 1) {
        escape_at(p + std::countr_zero(found));
      }
    }
    // The last few bytes with one more load of the sixteen that end the text, the bytes seen
    // already masked off: a tail of up to fifteen bytes is a good share of a short line, and a
    // loop over it byte by byte cost more than the sixteen-byte steps before it.
    if (p < end) {
      const auto seen = static_cast<unsigned>(16 - (end - p));
      const char* last = end - 16;
      unsigned found = byte_scan::Match16(last, '\\', '(', ')') >> seen << seen;
      for (; found != 0; found &= found - 1) escape_at(last + std::countr_zero(found));
    }
    out.append(run, static_cast<size_t>(end - run));
    return;
  }
  for (; p < end; ++p) {
    if (*p == '\\' || *p == '(' || *p == ')') escape_at(p);
  }
  out.append(run, static_cast<size_t>(end - run));
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
