// Writes the benchmark's input text: lines of 20 to 120 characters, every fiftieth 300 or more,
// and with --markup a markup element on every tenth line. Deterministic for a given size.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: make_bench_text OUT MEGABYTES [--markup]\n");
    return 2;
  }
  const bool markup = argc > 3 && std::strcmp(argv[3], "--markup") == 0;
  const long long target = std::atoll(argv[2]) * 1000 * 1000;
  FILE* out = std::fopen(argv[1], "wb");
  if (!out) return 1;
  std::mt19937 rng(1234);
  static const char* const kWords[] = {
      "the",  "quick", "brown", "fox",   "jumps", "over", "lazy",  "dog,",     "and", "(then)",
      "runs", "away.", "Lorem", "ipsum", "dolor", "sit",  "amet;", "C:\\path", "x/y"};
  static const char* const kMarkup[] = {"<b>bold</b> ", "<i>italic</i> ", "<h2>Head</h2> ",
                                        "<font color=red size=+2>red</font> ", "one<br>two "};
  long long written = 0;
  std::string line;
  for (long long n = 0; written < target; ++n) {
    size_t length = n % 50 == 0 ? 300 + rng() % 200 : 20 + rng() % 101;
    line.clear();
    if (markup && n % 10 == 0) line += kMarkup[rng() % 5];
    while (line.size() < length) {
      line += kWords[rng() % 19];
      line += ' ';
    }
    line.resize(length);
    line += "\r\n";
    std::fwrite(line.data(), 1, line.size(), out);
    written += static_cast<long long>(line.size());
  }
  return std::fclose(out) == 0 ? 0 : 1;
}
