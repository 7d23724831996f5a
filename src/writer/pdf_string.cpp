#include "writer/pdf_string.h"

#include "writer/byte_scan.h"

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
  while (p < end) {
    while (end - p >= 8) {
      uint64_t w = byte_scan::Load(p);
      if (byte_scan::HasByte(w, '\\') | byte_scan::HasByte(w, '(') | byte_scan::HasByte(w, ')')) {
        break;
      }
      p += 8;
    }
    while (p < end && *p != '\\' && *p != '(' && *p != ')') ++p;
    if (p == end) break;
    out.append(run, static_cast<size_t>(p - run));
    out.push_back('\\');
    run = p;
    ++p;
  }
  out.append(run, static_cast<size_t>(end - run));
}

std::string EscapePdfString(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 8);
  AppendEscaped(text, out);
  return out;
}

}  // namespace vellumox
