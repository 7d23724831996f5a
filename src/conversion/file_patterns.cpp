#include "conversion/file_patterns.h"

#include <algorithm>

#include "images/picture_formats.h"
#include "platform/file_system.h"
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
  std::sort(names.begin(), names.end());
  return names;
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
