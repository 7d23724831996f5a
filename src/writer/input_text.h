// Reading an input text file line by line, in the PDF's code page.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "writer/code_page.h"

namespace vellumox {

// Tells how a file's text is to be read (see DetectTextEncoding): one pass over the file, in
// chunks, so any size is fine. nullopt when the file cannot be read.
std::optional<TextEncoding> DetectFileEncoding(const std::string& path);

// Yields the lines of a text file converted to Windows-1252. A carriage return, a carriage
// return followed by a line feed, and a line feed alone each end a line; the last line counts
// even without a line end. Memory stays bounded: a line longer than kMaxLineLength bytes is
// handed out in pieces of that length.
class InputTextReader {
 public:
  static constexpr size_t kMaxLineLength = size_t{4} << 20;

  InputTextReader() = default;
  ~InputTextReader();
  InputTextReader(const InputTextReader&) = delete;
  InputTextReader& operator=(const InputTextReader&) = delete;

  // Opens the file; false with errno set when it cannot be opened.
  bool Open(const std::string& path, TextEncoding encoding);
  // The next line, without its line end; false at the end of the file or on a read error.
  bool NextLine(std::string& line);
  // The error number of a failed read, 0 when reading went well.
  int ReadError() const { return read_error_; }
  void Close();

 private:
  bool Fill();

  int fd_ = -1;
  TextEncoding encoding_ = TextEncoding::kWindows1252;
  std::unique_ptr<CodePageConverter> converter_;
  std::string read_buffer_;
  std::string pending_;  // converted text not yet handed out
  size_t pos_ = 0;
  bool at_start_ = true;
  bool eof_ = false;
  bool skip_line_feed_ = false;  // the last line ended with a CR; a following LF belongs to it
  int read_error_ = 0;
};

}  // namespace vellumox
