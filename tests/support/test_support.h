// Helpers shared by the tests: temporary folders, files, running programs, and reading back the
// PDFs that the writer produced.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vellumox::test {

// A private temporary folder, removed with everything in it when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  std::string operator/(std::string_view name) const { return path_ + "/" + std::string(name); }

 private:
  std::string path_;
};

// Sets an environment variable while the object lives; the old value comes back after it.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const std::string& value);
  ~ScopedEnvironment();
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  const char* name_;
  bool had_ = false;
  std::string old_;
};

void WriteFile(const std::string& path, std::string_view bytes);
std::string ReadFile(const std::string& path);
bool PathExists(const std::string& path);
// Names of the entries of a folder, sorted.
std::vector<std::string> ListFolder(const std::string& path);

struct CommandResult {
  int exit_code = -1;
  std::string output;  // standard output
  std::string error;   // standard error
};
// Runs a shell command line; standard output and standard error are kept apart.
CommandResult RunCommand(const std::string& command);
std::string ShellQuote(std::string_view text);

// The folder of the built programs.
std::string BinDir();
// The shell command that runs the built vellumox without a window, with its settings kept in a
// folder of the test's own (config_home) so that tests never share or touch the user's.
std::string VellumoxCommand(const std::string& config_home);

// qpdf --check: true when it finds no error and no warning; the report goes to details.
bool QpdfCheckClean(const std::string& pdf_path, std::string* details = nullptr);
// The same as a test expectation: a failure with qpdf's report when the PDF is not sound.
bool ExpectSoundPdf(const std::string& pdf_path);

// Runs of "vellumox --batch" that keep their settings in a folder of their own.
struct BatchRuns {
  TempDir config;
  CommandResult Run(const std::string& arguments) const;
  std::string SettingsFile() const;
};
// pdfimages -list, one row per image, and pdfinfo's page count (-1 when it cannot tell).
struct PdfImageRow {
  int page = 0, width = 0, height = 0;
  std::string color;
  std::string type;  // "image", "mask" (a stencil mask), ...
  int bpc = 0;
};
std::vector<PdfImageRow> PdfImages(const std::string& pdf_path);

// Two pictures of one size compared by ImageMagick: the mean absolute difference, 0 to 1 (1 when
// they cannot be compared), and the number of pixels that differ by more than fuzz (-1 then).
double MeanDifference(const std::string& a, const std::string& b);
long DifferingPixels(const std::string& a, const std::string& b, const std::string& fuzz = "0");
int PdfPages(const std::string& pdf_path);

// The text that pdftotext reads from the PDF (UTF-8).
std::string PdfToText(const std::string& pdf_path, const std::string& options = "");

// Each word that pdftotext finds on the first page, with the number of dark pixels inside its
// box on the page rendered at 144 dpi (two pixels a point); the rendering goes into folder.
struct WordInk {
  std::string text;
  double left = 0;  // points from the page's left edge
  int dark = 0;     // pixels
};
std::vector<WordInk> InkOfWords(const std::string& pdf_path, const std::string& folder);

// A PDF file as written by the converter: lines end in a carriage return.
class PdfFile {
 public:
  explicit PdfFile(std::string bytes) : bytes_(std::move(bytes)) {}
  static PdfFile Load(const std::string& path) { return PdfFile(ReadFile(path)); }

  const std::string& bytes() const { return bytes_; }
  std::vector<std::string> Lines() const;
  // Byte offset of the line that opens object n ("n 0 obj"), or -1.
  int64_t ObjectOffset(int n) const;
  // The data of the stream of object n, between the line feed after "stream" and "endstream".
  std::string StreamData(int n) const;
  // The lines of that stream data.
  std::vector<std::string> StreamLines(int n) const;
  // The object number of page k (1-based), from /Kids.
  int PageObject(int k) const;
  // The lines of the content stream of page k: object page + 1.
  std::vector<std::string> PageContentLines(int k) const;
  // The bytes with the creation date replaced by zeros, for comparing whole files.
  std::string MaskedBytes() const;

 private:
  std::string bytes_;
  // Read once, at the first question: where each object opens, and the pages' objects.
  mutable std::vector<int64_t> offsets_;
  mutable std::vector<int> pages_;
  mutable bool indexed_ = false;
  void Index() const;
};

}  // namespace vellumox::test
