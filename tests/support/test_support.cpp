#include "support/test_support.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <stdexcept>

namespace vellumox::test {

namespace fs = std::filesystem;

TempDir::TempDir() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/vellumox-test-XXXXXX";
  std::vector<char> buf(pattern.begin(), pattern.end());
  buf.push_back('\0');
  if (!::mkdtemp(buf.data())) throw std::runtime_error("mkdtemp failed");
  path_ = buf.data();
}

TempDir::~TempDir() {
  std::error_code ec;
  // Folders made read-only by a test must be writable again to be removed.
  for (auto it = fs::recursive_directory_iterator(path_, ec);
       !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    if (it->is_directory(ec))
      fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
  }
  fs::remove_all(path_, ec);
}

ScopedEnvironment::ScopedEnvironment(const char* name, const std::string& value) : name_(name) {
  if (const char* old = std::getenv(name)) {
    had_ = true;
    old_ = old;
  }
  ::setenv(name, value.c_str(), 1);
}

ScopedEnvironment::~ScopedEnvironment() {
  if (had_) {
    ::setenv(name_, old_.c_str(), 1);
  } else {
    ::unsetenv(name_);
  }
}

void WriteFile(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

bool PathExists(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

std::vector<std::string> ListFolder(const std::string& path) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(path, ec)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string ShellQuote(std::string_view text) {
  std::string out = "'";
  for (char c : text) {
    if (c == '\'') {
      out += "'\\''";
    } else {
      out += c;
    }
  }
  out += "'";
  return out;
}

CommandResult RunCommand(const std::string& command) {
  TempDir dir;
  std::string out_path = dir / "stdout";
  std::string err_path = dir / "stderr";
  std::string full = "( " + command + " ) >" + ShellQuote(out_path) + " 2>" + ShellQuote(err_path);
  int status = std::system(full.c_str());
  CommandResult result;
  result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.output = ReadFile(out_path);
  result.error = ReadFile(err_path);
  return result;
}

std::string BinDir() {
  const char* env = std::getenv("VELLUMOX_BIN_DIR");
  if (env && *env) return env;
  return VELLUMOX_BIN_DIR;
}

std::string VellumoxCommand(const std::string& config_home) {
  return "XDG_CONFIG_HOME=" + ShellQuote(config_home) + " " + ShellQuote(BinDir() + "/vellumox") +
         " --batch";
}

bool ExpectSoundPdf(const std::string& pdf_path) {
  std::string details;
  const bool ok = QpdfCheckClean(pdf_path, &details);
  EXPECT_TRUE(ok) << pdf_path << ": " << details;
  return ok;
}

CommandResult BatchRuns::Run(const std::string& arguments) const {
  return RunCommand(VellumoxCommand(config.path()) + " " + arguments);
}

std::string BatchRuns::SettingsFile() const {
  return ReadFile(config / "Vellumox/Vellumox.ini");
}

bool QpdfCheckClean(const std::string& pdf_path, std::string* details) {
  CommandResult r = RunCommand("qpdf --check " + ShellQuote(pdf_path));
  if (details) *details = r.output + r.error;
  std::string all = r.output + r.error;
  return r.exit_code == 0 && all.find("WARNING") == std::string::npos &&
         all.find("No syntax or stream encoding errors found") != std::string::npos;
}

std::string PdfToText(const std::string& pdf_path, const std::string& options) {
  CommandResult r = RunCommand("pdftotext " + options + " " + ShellQuote(pdf_path) + " -");
  return r.output;
}

std::vector<PdfImageRow> PdfImages(const std::string& pdf_path) {
  std::istringstream in(RunCommand("pdfimages -list " + ShellQuote(pdf_path)).output);
  std::string line;
  std::getline(in, line);
  std::getline(in, line);
  std::vector<PdfImageRow> rows;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    PdfImageRow row;
    std::string num, components;
    fields >> row.page >> num >> row.type >> row.width >> row.height >> row.color >> components >>
        row.bpc;
    rows.push_back(row);
  }
  return rows;
}

double MeanDifference(const std::string& a, const std::string& b) {
  const std::string out =
      RunCommand("compare -metric MAE " + ShellQuote(a) + " " + ShellQuote(b) + " null: 2>&1")
          .output;
  const size_t open = out.find('(');
  return open == std::string::npos ? 1 : std::atof(out.c_str() + open + 1);
}

long DifferingPixels(const std::string& a, const std::string& b, const std::string& fuzz) {
  const std::string out = RunCommand("compare -metric AE -fuzz " + fuzz + " " + ShellQuote(a) +
                                     " " + ShellQuote(b) + " null: 2>&1")
                              .output;
  return out.empty() ? -1 : std::atol(out.c_str());
}

int PdfPages(const std::string& pdf_path) {
  const std::string info = RunCommand("pdfinfo " + ShellQuote(pdf_path)).output;
  const size_t at = info.find("Pages:");
  return at == std::string::npos ? -1 : std::atoi(info.c_str() + at + 6);
}

std::vector<std::string> PdfFile::Lines() const {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t i = 0; i < bytes_.size(); ++i) {
    if (bytes_[i] == '\r') {
      lines.push_back(bytes_.substr(start, i - start));
      start = i + 1;
      if (start < bytes_.size() && bytes_[start] == '\n') ++start;  // after "stream"
    }
  }
  if (start < bytes_.size()) lines.push_back(bytes_.substr(start));
  return lines;
}

void PdfFile::Index() const {
  if (indexed_) return;
  indexed_ = true;
  // Every "n 0 obj" at a line's start; the first of each number counts.
  for (size_t pos = 0; (pos = bytes_.find(" 0 obj\r", pos)) != std::string::npos; pos += 1) {
    size_t start = pos;
    while (start > 0 && bytes_[start - 1] >= '0' && bytes_[start - 1] <= '9') --start;
    if (start == pos || (start > 0 && bytes_[start - 1] != '\r' && bytes_[start - 1] != '\n')) {
      continue;
    }
    const size_t n = std::stoul(bytes_.substr(start, pos - start));
    if (n > 10000000) continue;
    if (offsets_.size() <= n) offsets_.resize(n + 1, -1);
    if (offsets_[n] < 0) offsets_[n] = static_cast<int64_t>(start);
  }
  size_t kids = bytes_.find("/Kids [ ");
  if (kids == std::string::npos) return;
  std::istringstream in(bytes_.substr(kids + 8, bytes_.find(']', kids) - kids - 8));
  int number = 0;
  std::string zero, r;
  while (in >> number >> zero >> r) pages_.push_back(number);
}

int64_t PdfFile::ObjectOffset(int n) const {
  Index();
  return n >= 0 && static_cast<size_t>(n) < offsets_.size() ? offsets_[static_cast<size_t>(n)] : -1;
}

std::string PdfFile::StreamData(int n) const {
  int64_t at = ObjectOffset(n);
  if (at < 0) return std::string();
  size_t s = bytes_.find("stream\r\n", static_cast<size_t>(at));
  if (s == std::string::npos) return std::string();
  s += 8;
  size_t e = bytes_.find("endstream\r", s);
  if (e == std::string::npos) return std::string();
  return bytes_.substr(s, e - s);
}

std::vector<std::string> PdfFile::StreamLines(int n) const {
  std::string data = StreamData(n);
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t i = 0; i < data.size(); ++i) {
    if (data[i] == '\r') {
      lines.push_back(data.substr(start, i - start));
      start = i + 1;
    }
  }
  if (start < data.size()) lines.push_back(data.substr(start));
  return lines;
}

int PdfFile::PageObject(int k) const {
  Index();
  return k >= 1 && static_cast<size_t>(k) <= pages_.size() ? pages_[static_cast<size_t>(k) - 1]
                                                           : -1;
}

std::vector<std::string> PdfFile::PageContentLines(int k) const {
  int page = PageObject(k);
  if (page < 0) return {};
  return StreamLines(page + 1);
}

std::string PdfFile::MaskedBytes() const {
  std::string out = bytes_;
  size_t pos = out.find("/CreationDate (D:");
  if (pos != std::string::npos) {
    for (size_t i = pos + 17; i < out.size() && i < pos + 31; ++i) out[i] = '0';
  }
  return out;
}

std::vector<WordInk> InkOfWords(const std::string& pdf, const std::string& folder) {
  const std::string page = folder + "/page";
  RunCommand("pdftoppm -r 144 -gray -singlefile -f 1 -l 1 " + ShellQuote(pdf) + " " +
             ShellQuote(page));
  std::istringstream pgm(ReadFile(page + ".pgm"));
  std::string magic;
  int width = 0, height = 0, maximum = 0;
  pgm >> magic >> width >> height >> maximum;
  pgm.get();
  std::string pixels(static_cast<size_t>(width) * height, '\xFF');
  pgm.read(pixels.data(), static_cast<std::streamsize>(pixels.size()));
  const std::string boxes =
      RunCommand("pdftotext -f 1 -l 1 -bbox " + ShellQuote(pdf) + " -").output;
  std::regex word(
      "xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\">([^<]*)<");
  std::vector<WordInk> words;
  for (auto it = std::sregex_iterator(boxes.begin(), boxes.end(), word);
       it != std::sregex_iterator(); ++it) {
    int dark = 0;
    for (int y = static_cast<int>(2 * std::stod((*it)[2]));
         y < 2 * std::stod((*it)[4]) && y < height; ++y) {
      for (int x = static_cast<int>(2 * std::stod((*it)[1]));
           x < 2 * std::stod((*it)[3]) && x < width; ++x) {
        dark += static_cast<unsigned char>(pixels[static_cast<size_t>(y) * width + x]) < 128;
      }
    }
    words.push_back({(*it)[5], std::stod((*it)[1]), dark});
  }
  return words;
}

}  // namespace vellumox::test
