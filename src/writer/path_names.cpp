#include "writer/path_names.h"

#include "writer/code_page.h"

namespace vellumox {

namespace {
char LowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}
}  // namespace

std::string FolderOfPath(std::string_view path) {
  size_t question = path.find('?');
  if (question != std::string_view::npos) path = path.substr(0, question);
  size_t slash = path.find_last_of("\\/");
  if (slash == std::string_view::npos) return std::string();
  return std::string(path.substr(0, slash + 1));
}

std::string WithPdfExtension(std::string_view name, std::string_view extension) {
  if (EndsWithIgnoreCase(name, ".txt") || EndsWithIgnoreCase(name, ".pdf")) {
    return std::string(name.substr(0, name.size() - 4)) + std::string(extension);
  }
  return std::string(name) + std::string(extension);
}

std::string PdfName(std::string_view name) {
  return EndsWithIgnoreCase(name, ".pdf") ? std::string(name) : std::string(name) + ".pdf";
}

std::string ShownName(std::string_view name) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (size_t i = 0; i < name.size();) {
    const unsigned char c = static_cast<unsigned char>(name[i]);
    const size_t length = Utf8SequenceLength(name, i);
    if (length == 0 || c < 0x20 || c == 0x7F) {
      out += "\\x";
      out += kHex[c >> 4];
      out += kHex[c & 15];
      ++i;
    } else {
      out.append(name.substr(i, length));
      i += length;
    }
  }
  return out;
}

std::string ToLowerAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = LowerAscii(c);
  return out;
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

bool EndsWithIgnoreCase(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() &&
         EqualsIgnoreCase(text.substr(text.size() - suffix.size()), suffix);
}

size_t FindIgnoreCase(std::string_view haystack, std::string_view needle, size_t from) {
  if (needle.empty()) return from <= haystack.size() ? from : std::string_view::npos;
  if (haystack.size() < needle.size()) return std::string_view::npos;
  char first = LowerAscii(needle[0]);
  char first_upper = (first >= 'a' && first <= 'z') ? static_cast<char>(first - 32) : first;
  size_t last = haystack.size() - needle.size();
  if (first == first_upper) {
    // A first character without case ("<", "="): the library's byte search finds it, many bytes
    // a step.
    for (size_t i = haystack.find(first, from); i <= last; i = haystack.find(first, i + 1)) {
      if (EqualsIgnoreCase(haystack.substr(i, needle.size()), needle)) return i;
    }
    return std::string_view::npos;
  }
  for (size_t i = from; i <= last; ++i) {
    char c = haystack[i];
    if (c != first && c != first_upper) continue;
    if (EqualsIgnoreCase(haystack.substr(i, needle.size()), needle)) return i;
  }
  return std::string_view::npos;
}

}  // namespace vellumox
