// Writes the benchmark's input text: lines of 20 to 120 characters, every fiftieth 300 or more,
// and with --markup a markup element on every tenth line. With --scripts the prose is UTF-8 in
// several scripts (Cyrillic, Greek, Arabic, Chinese and Latin words mixed in every line;
// Chinese phrases without blanks), the lengths counted in characters. With --prose FILE the
// text is real prose: the paragraphs of FILE (script|text a line, bench/data/udhr_prose.txt)
// drawn at random, one a line and a blank line after every fourth, from every script or, with
// --latin, from the Latin ones alone. Deterministic for a size.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

// Characters of a UTF-8 text: every byte that does not continue a sequence starts one.
size_t CharacterCount(const std::string& text) {
  size_t count = 0;
  for (unsigned char c : text) count += (c & 0xC0) != 0x80;
  return count;
}

// Cuts after the character that ends at or after `length` characters (never inside one).
void CutAtCharacters(std::string& text, size_t length) {
  size_t count = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && count++ == length) {
      text.resize(i);
      return;
    }
  }
}

}  // namespace

// The paragraphs of a prose file, of the Latin script alone or of all.
std::vector<std::string> Paragraphs(const char* path, bool latin_only) {
  std::vector<std::string> paragraphs;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) {
    const size_t bar = line.find('|');
    if (line.empty() || line[0] == '#' || bar == std::string::npos) continue;
    if (latin_only && line.compare(0, bar, "Latin") != 0) continue;
    paragraphs.push_back(line.substr(bar + 1));
  }
  return paragraphs;
}

int WriteProse(FILE* out, const std::vector<std::string>& paragraphs, long long target) {
  if (paragraphs.empty()) return 1;
  std::mt19937 rng(1234);
  long long written = 0;
  for (long long n = 1; written < target; ++n) {
    std::string line = paragraphs[rng() % paragraphs.size()] + "\r\n";
    if (n % 4 == 0) line += "\r\n";
    std::fwrite(line.data(), 1, line.size(), out);
    written += static_cast<long long>(line.size());
  }
  return std::fclose(out) == 0 ? 0 : 1;
}

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr,
                 "usage: make_bench_text OUT MEGABYTES [--markup | --scripts | --prose FILE "
                 "[--latin]]\n");
    return 2;
  }
  const bool markup = argc > 3 && std::strcmp(argv[3], "--markup") == 0;
  const bool scripts = argc > 3 && std::strcmp(argv[3], "--scripts") == 0;
  const long long target = std::atoll(argv[2]) * 1000 * 1000;
  FILE* out = std::fopen(argv[1], "wb");
  if (!out) return 1;
  if (argc > 4 && std::strcmp(argv[3], "--prose") == 0) {
    const bool latin = argc > 5 && std::strcmp(argv[5], "--latin") == 0;
    return WriteProse(out, Paragraphs(argv[4], latin), target);
  }
  std::mt19937 rng(1234);
  static const std::vector<const char*> kWords = {
      "the",  "quick", "brown", "fox",   "jumps", "over", "lazy",  "dog,",     "and", "(then)",
      "runs", "away.", "Lorem", "ipsum", "dolor", "sit",  "amet;", "C:\\path", "x/y"};
  static const std::vector<const char*> kScriptWords = {
      "the",      "quick",      "brown",      "fox,",    "café",      "naïve",    "Привет",
      "мир,",     "быстрая",    "лиса",       "прыгает", "через",     "Ελληνικά", "γλώσσα",
      "καλημέρα", "κόσμε.",     "العربية",    "لغة",     "جميلة",     "مرحبا",    "日本語の文章",
      "中文文本", "你好世界。", "快速的狐狸", "(текст)", "«кавычки»", "3,14",     "— и"};
  static const char* const kMarkup[] = {"<b>bold</b> ", "<i>italic</i> ", "<h2>Head</h2> ",
                                        "<font color=red size=+2>red</font> ", "one<br>two "};
  const std::vector<const char*>& words = scripts ? kScriptWords : kWords;
  long long written = 0;
  std::string line;
  for (long long n = 0; written < target; ++n) {
    size_t length = n % 50 == 0 ? 300 + rng() % 200 : 20 + rng() % 101;
    line.clear();
    if (markup && n % 10 == 0) line += kMarkup[rng() % 5];
    while ((scripts ? CharacterCount(line) : line.size()) < length) {
      line += words[rng() % words.size()];
      line += ' ';
    }
    if (scripts)
      CutAtCharacters(line, length);
    else
      line.resize(length);
    line += "\r\n";
    std::fwrite(line.data(), 1, line.size(), out);
    written += static_cast<long long>(line.size());
  }
  return std::fclose(out) == 0 ? 0 : 1;
}
