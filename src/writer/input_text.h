// Reading an input text file line by line, in the PDF's code page.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/file_handle.h"
#include "writer/code_page.h"

namespace vellumox {

// Yields the lines of a text file converted to Windows-1252. A carriage return, a carriage
// return followed by a line feed, and a line feed alone each end a line; the last line counts
// even without a line end. Memory stays bounded: a line longer than kMaxLineLength bytes is
// handed out in pieces of that length.
//
// The encoding is told as the file is read: UTF-16 when it starts with a UTF-16 byte-order mark;
// otherwise, as long as the text is plain ASCII every reading gives the same bytes, and at the
// first other byte the rest of the file is checked once: UTF-8 when the whole file is valid
// UTF-8, else Windows-1252 byte for byte. A plain ASCII file is thus read only once.
class InputTextReader {
 public:
  static constexpr size_t kMaxLineLength = size_t{4} << 20;

  InputTextReader() = default;
  ~InputTextReader();
  InputTextReader(const InputTextReader&) = delete;
  InputTextReader& operator=(const InputTextReader&) = delete;

  // Lines of UTF-8 or UTF-16 files come as UTF-8 with every character kept, instead of
  // Windows-1252 (before Open). Lines of other files are their bytes as ever.
  void KeepCharacters() { keep_characters_ = true; }
  // Whether the lines come as UTF-8 (KeepCharacters, and the file is UTF-8 or UTF-16).
  bool LinesAreUtf8() const { return keep_characters_ && encoding_ != TextEncoding::kWindows1252; }
  // Opens the file; false when it cannot be opened (ReadError() tells why).
  bool Open(const std::string& path);
  // The next line, without its line end; false at the end of the file or on a read error.
  bool NextLine(std::string& line);
  // The same without a copy: the view stays valid until the next call.
  bool NextLine(std::string_view& line);
  // The error number of a failed read, 0 when reading went well.
  int ReadError() const { return read_error_; }
  // How the text is read; Windows-1252 until something else has been found.
  TextEncoding Encoding() const { return encoding_; }
  // Lines of UTF-8 or UTF-16 (KeepCharacters): the sequences read so far that form no
  // character of the file's encoding (each now a "?"), and the line (from 1) of the first.
  size_t InvalidSequences() const { return converter_ ? converter_->Replacements() : 0; }
  size_t FirstInvalidLine() const { return first_invalid_line_; }
  void Close();

 private:
  bool Fill();
  void Decide(std::string_view chunk, int64_t chunk_offset);

  FileHandle file_;
  TextEncoding encoding_ = TextEncoding::kWindows1252;
  bool decided_ = false;
  bool keep_characters_ = false;
  std::unique_ptr<CodePageConverter> converter_;
  std::string read_buffer_;
  std::string pending_;  // converted text not yet handed out
  size_t pos_ = 0;
  int64_t file_offset_ = 0;
  bool eof_ = false;
  bool skip_line_feed_ = false;  // the last line ended with a CR; a following LF belongs to it
  int read_error_ = 0;
  // Where pending_ starts in all that was converted, the lines ended so far, and the line of
  // the first invalid sequence (0 until it is handed out).
  size_t consumed_ = 0;
  size_t converter_base_ = 0;  // where the converter's output starts in it
  size_t lines_ended_ = 0;
  size_t first_invalid_line_ = 0;
  // Notes the line that holds the first invalid sequence, when the line handed out now does.
  void NoteLine(size_t start, size_t length);
};

// Finds the first byte at or after p that is a carriage return or a line feed; end if none.
const char* FindLineEnd(const char* p, const char* end);

// Position of the first byte above 127, or npos.
size_t FindNonAscii(std::string_view text);

}  // namespace vellumox
