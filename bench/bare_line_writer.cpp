// The floor for text conversion: reads a file line by line and writes every line as
// "(" + line + ")'" and a carriage return through a 32 KB buffer, nothing else.
#include <cstdio>
#include <cstring>
#include <string>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: bare_line_writer IN OUT\n");
    return 2;
  }
  FILE* in = std::fopen(argv[1], "rb");
  FILE* out = std::fopen(argv[2], "wb");
  if (!in || !out) return 1;
  static char buffer[32 * 1024];
  std::setvbuf(out, buffer, _IOFBF, sizeof buffer);
  char* line = nullptr;
  size_t capacity = 0;
  ssize_t length;
  while ((length = getline(&line, &capacity, in)) > 0) {
    while (length > 0 && (line[length - 1] == '\n' || line[length - 1] == '\r')) --length;
    std::fputc('(', out);
    std::fwrite(line, 1, static_cast<size_t>(length), out);
    std::fwrite(")'\r", 1, 3, out);
  }
  std::free(line);
  std::fclose(in);
  return std::fclose(out) == 0 ? 0 : 1;
}
