// The bytes of one PDF file as lines ending in a carriage return, with a running byte offset.
// They leave through stages (output_stages.h): page contents that are compressed are collected
// whole for the caller, every byte is counted against the size limit, and the file is
// written atomically (platform/atomic_file.h), so a failed conversion never leaves half a PDF
// behind and never touches an earlier file of that name.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/file_handle.h"
#include "writer/output_stages.h"

namespace vellumox {

class OutputStream {
 public:
  // The largest offset that a 10-digit cross-reference entry can hold.
  static constexpr int64_t kMaxOffset = 9'999'999'999;
  // The buffer is appended to the file once it holds more than this many bytes.
  static constexpr size_t kFlushThreshold = 32'000;

  explicit OutputStream(int64_t max_size = kMaxOffset);
  ~OutputStream();
  OutputStream(const OutputStream&) = delete;
  OutputStream& operator=(const OutputStream&) = delete;

  // Forgets everything (discarding an unfinished temporary file) and aims at a new output.
  void Reset(const std::string& output_path);

  // Creates the temporary file beside the output. Throws WriterError when it cannot.
  void Open();

  // Appends line and a carriage return; writes the buffer out when it is long or flush is
  // true. Throws WriterError on the first failure (a write error, or a document that would grow
  // past the size limit); once failed, further lines only advance the offset.
  void EmitLine(std::string_view line, bool flush = false);
  // A line made of three parts, without joining them first.
  void EmitLine(std::string_view a, std::string_view b, std::string_view c);
  // The line prefix + text escaped for a PDF string + suffix, when the escaped text is at most
  // max_escaped characters long; escaped straight into the buffer, in one pass over the text.
  // False, with nothing emitted, when it is longer (or the stream has failed).
  bool EmitEscapedLineWithin(std::string_view prefix, std::string_view text,
                             std::string_view suffix, size_t max_escaped);
  // A line built in place: fill(buffer) appends the line's bytes to the buffer it is given, so a
  // text is escaped straight into the output, without a copy of its own.
  template <class Fill>
  void EmitLineBuiltBy(Fill&& fill) {
    if (failed_) return;
    const size_t start = buffer_.size();
    fill(buffer_);
    FinishBuiltLine(start);
  }
  // Appends bytes as they are, without a line end.
  void EmitBytes(std::string_view bytes);
  // Appends the whole content of a file, read in chunks; throws WriterError when the file
  // cannot be read in full. Returns the number of bytes appended.
  int64_t EmitFileContents(const std::string& path, int64_t expected_size);

  // Between these two, the bytes emitted are collected instead of written (a page's content, to
  // be compressed and written by the caller later); Offset() stands still meanwhile.
  void BeginCollecting();
  std::string EndCollecting();

  // Writes out the buffer, closes the file and renames it to the output path. Throws
  // WriterError on failure, in which case the temporary file is removed.
  void Commit();
  // Closes and removes the temporary file, if any.
  void Discard();

  void SetMaxSize(int64_t max_size) { max_size_ = max_size; }
  int64_t Offset() const { return offset_; }
  bool Failed() const { return failed_; }
  bool Committed() const { return committed_; }
  // Bytes handed to the file so far; the rest is still buffered.
  int64_t BytesWritten() const { return counter_.Count(); }
  const std::string& OutputPath() const { return path_; }

 private:
  void Advance(size_t bytes);
  // Ends the line that starts at buffer_[start] and counts it.
  void FinishBuiltLine(size_t start);
  void WriteBuffer();
  // Runs a stage's work; a WriterError it throws fails the stream.
  template <class Work>
  auto Guarded(Work&& work);
  // Fails the stream: nothing more is written and the temporary file goes. offset is where the
  // offset stands afterwards (-1: where it stands now).
  [[noreturn]] void Fail(const std::string& description, int64_t offset = -1);
  OutputStage& Head() { return collecting_ ? static_cast<OutputStage&>(page_) : counter_; }

  int64_t max_size_;
  std::string path_;
  FileStage file_;
  CountingStage counter_{file_, kMaxOffset};
  BufferStage page_;  // a page's content, collected whole
  std::string buffer_;
  int64_t offset_ = 0;
  bool collecting_ = false;
  bool failed_ = false;
  bool committed_ = false;
};

}  // namespace vellumox
