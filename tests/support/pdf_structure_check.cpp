#include "support/pdf_structure_check.h"

#include <charconv>
#include <cstdint>
#include <string>

namespace vellumox::test {

namespace {

int64_t ParseNumber(std::string_view text, size_t pos) {
  int64_t value = -1;
  std::from_chars(text.data() + pos, text.data() + text.size(), value);
  return value;
}

// Strings balanced, escapes complete, nothing but whole operators outside strings.
std::string CheckContent(std::string_view data) {
  int depth = 0;
  for (size_t i = 0; i < data.size(); ++i) {
    char c = data[i];
    if (depth == 0) {
      if (c == ')') return "a ')' outside any string";
      if (c == '(') depth = 1;
      continue;
    }
    if (c == '\\') {
      ++i;
      if (i >= data.size()) return "a backslash at the end of the stream";
    } else if (c == '(') {
      ++depth;
    } else if (c == ')') {
      --depth;
    }
  }
  return depth == 0 ? "" : "a string that is never closed";
}

}  // namespace

std::string CheckPdfStructure(std::string_view pdf) {
  if (pdf.substr(0, 9) != "%PDF-1.3\r") return "no header";
  size_t startxref = pdf.rfind("startxref\r");
  if (startxref == std::string_view::npos) return "no startxref";
  int64_t xref = ParseNumber(pdf, startxref + 10);
  if (xref < 0 || static_cast<size_t>(xref) >= pdf.size()) return "startxref out of range";
  if (pdf.substr(static_cast<size_t>(xref), 5) != "xref\r") return "startxref misses xref";
  size_t count_at = static_cast<size_t>(xref) + 7;
  int64_t count = ParseNumber(pdf, count_at);
  size_t entries = pdf.find("0000000000 65535 f \r", count_at);
  if (count < 1 || entries == std::string_view::npos) return "bad xref header";
  for (int64_t n = 1; n < count; ++n) {
    size_t at = entries + 20 * static_cast<size_t>(n);
    if (at + 20 > pdf.size()) return "xref cut short";
    int64_t offset = ParseNumber(pdf, at);
    std::string header = std::to_string(n) + " 0 obj\r";
    if (offset < 0 || pdf.substr(static_cast<size_t>(offset), header.size()) != header) {
      return "xref entry " + std::to_string(n) + " misses its object";
    }
    // A stream object: its length object is the next number and holds the exact length.
    size_t body = static_cast<size_t>(offset) + header.size();
    std::string length_key = "<<\r/Length " + std::to_string(n + 1) + " 0 R\r>>\rstream\r\n";
    if (pdf.substr(body, length_key.size()) == length_key) {
      size_t data = body + length_key.size();
      size_t end = pdf.find("endstream\rendobj\r" + std::to_string(n + 1) + " 0 obj\r", data);
      if (end == std::string_view::npos) return "stream " + std::to_string(n) + " has no end";
      size_t length_at =
          pdf.find(std::to_string(n + 1) + " 0 obj\r", end) + std::to_string(n + 1).size() + 7;
      if (ParseNumber(pdf, length_at) != static_cast<int64_t>(end - data)) {
        return "stream " + std::to_string(n) + " has a wrong length";
      }
      std::string problem = CheckContent(pdf.substr(data, end - data));
      if (!problem.empty()) return "stream " + std::to_string(n) + ": " + problem;
    }
  }
  return "";
}

}  // namespace vellumox::test
