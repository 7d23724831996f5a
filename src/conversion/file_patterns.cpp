#include "conversion/file_patterns.h"

#include <algorithm>

#include "images/picture_formats.h"
#include "platform/file_system.h"
#include "writer/code_page.h"
#include "writer/path_names.h"

namespace vellumox {

std::string ImagePatterns() {
  return PatternList(kConverterPatternOrder, ";");
}

std::string ExtraImagePatterns() {
  return PatternList(OptionalTypeOrder(), ";");
}

bool WildcardMatch(std::string_view name, std::string_view pattern) {
  size_t n = 0, p = 0, star = std::string_view::npos, resume = 0;
  auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || lower(pattern[p]) == lower(name[n]))) {
      ++n;
      ++p;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      resume = n;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

std::vector<std::string> MatchingFiles(const std::string& pattern) {
  std::vector<std::string> files;
  const std::string folder = FolderOfPath(pattern);
  const std::string name_pattern = pattern.substr(folder.size());
  if (name_pattern.find_first_of("*?") == std::string::npos) {
    if (IsRegularFile(pattern)) files.push_back(pattern);
    return files;
  }
  for (const std::string& name : MatchingNames(folder, name_pattern))
    files.push_back(folder + name);
  return files;
}

namespace {

// The patterns of a list separated by ";".
std::vector<std::string_view> SplitPatterns(std::string_view patterns) {
  std::vector<std::string_view> list;
  for (size_t start = 0; start <= patterns.size();) {
    size_t end = std::min(patterns.find(';', start), patterns.size());
    if (end > start) list.push_back(patterns.substr(start, end - start));
    start = end + 1;
  }
  return list;
}

}  // namespace

std::vector<std::string> MatchingNames(const std::string& folder, std::string_view patterns) {
  const std::vector<std::string_view> list = SplitPatterns(patterns);
  std::vector<std::string> names;
  for (std::string& name : ListFolder(folder)) {
    bool match = std::any_of(list.begin(), list.end(),
                             [&](std::string_view p) { return WildcardMatch(name, p); });
    if (match && IsRegularFile(folder + name)) names.push_back(std::move(name));
  }
  std::sort(names.begin(), names.end(), NaturalLess);
  return names;
}

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// The character at text[at] for ordering, moving at past it: an ASCII letter in lower case, a
// UTF-8 sequence as its code point, a byte of no sequence as itself.
char32_t OrderingCharacter(std::string_view text, size_t& at) {
  const auto byte = static_cast<unsigned char>(text[at]);
  if (byte < 0x80) {
    ++at;
    return byte >= 'A' && byte <= 'Z' ? byte + 32 : byte;
  }
  if (Utf8SequenceLength(text, at) == 0) return text[at++] & 0xFF;
  return NextCodePoint(text, at);
}

// Compares the digit runs that start at a[i] and b[j], moving both past them.
int CompareNumbers(std::string_view a, size_t& i, std::string_view b, size_t& j) {
  while (i < a.size() && a[i] == '0') ++i;
  while (j < b.size() && b[j] == '0') ++j;
  const size_t start_a = i, start_b = j;
  while (i < a.size() && IsDigit(a[i])) ++i;
  while (j < b.size() && IsDigit(b[j])) ++j;
  const size_t length_a = i - start_a, length_b = j - start_b;
  if (length_a != length_b) return length_a < length_b ? -1 : 1;
  const int digits = a.substr(start_a, length_a).compare(b.substr(start_b, length_b));
  return digits < 0 ? -1 : digits > 0 ? 1 : 0;
}

}  // namespace

bool NaturalLess(std::string_view a, std::string_view b) {
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    if (IsDigit(a[i]) && IsDigit(b[j])) {
      if (const int c = CompareNumbers(a, i, b, j); c != 0) return c < 0;
      continue;
    }
    const char32_t x = OrderingCharacter(a, i), y = OrderingCharacter(b, j);
    if (x != y) return x < y;
  }
  if (i < a.size() || j < b.size()) return j < b.size();  // the shorter first
  return a < b;                                           // the same for a reader: by the bytes
}

bool IsAlbumInput(const std::string& input_text, const std::string& image_patterns,
                  std::string_view alias_patterns) {
  if (input_text.empty()) return false;
  std::string tail = input_text.substr(input_text.size() - std::min<size_t>(4, input_text.size()));
  if (FindIgnoreCase(image_patterns, tail) != std::string::npos) return true;
  const std::vector<std::string_view> aliases = SplitPatterns(alias_patterns);
  return std::any_of(aliases.begin(), aliases.end(), [&](std::string_view pattern) {
    return EndsWithIgnoreCase(input_text, pattern.substr(1));  // "*.jpeg": ".jpeg"
  });
}

}  // namespace vellumox
