#include "writer/output_stream.h"

#include "platform/file_system.h"
#include "writer/pdf_string.h"
#include "writer/writer_error.h"

namespace vellumox {

OutputStream::OutputStream(int64_t max_size) : max_size_(max_size) {
  buffer_.reserve(kFlushThreshold * 2);
}

OutputStream::~OutputStream() {
  Discard();
}

void OutputStream::Reset(const std::string& output_path) {
  Discard();
  page_.Take();
  path_ = output_path;
  counter_.Reset(max_size_, path_);
  buffer_.clear();
  offset_ = 0;
  collecting_ = false;
  failed_ = false;
  committed_ = false;
}

template <class Work>
auto OutputStream::Guarded(Work&& work) {
  try {
    return work();
  } catch (const WriterError& e) {
    Fail(e.what());
  }
}

void OutputStream::Open() {
  if (file_.IsOpen() || failed_) return;
  if (path_.empty()) Fail("No output file name was given.");
  Guarded([&] { file_.Open(path_); });
}

void OutputStream::Fail(const std::string& description, int64_t offset) {
  if (offset >= 0) offset_ = offset;
  failed_ = true;
  buffer_.clear();
  page_.Take();
  file_.Discard();
  throw WriterError(description);
}

void OutputStream::Advance(size_t bytes) {
  // Collected bytes are not in the file: the offset stands still.
  if (collecting_ && !failed_) return;
  const int64_t after = offset_ + static_cast<int64_t>(bytes);
  if (!failed_ && after > max_size_) {
    Fail("The PDF file '" + path_ + "' would be larger than " + std::to_string(max_size_) +
             " bytes, the most that its cross-reference table can address.",
         after);
  }
  offset_ = after;
}

void OutputStream::EmitLine(std::string_view line, bool flush) {
  Advance(line.size() + 1);
  if (failed_) return;
  buffer_.append(line);
  buffer_.push_back('\r');
  if (buffer_.size() > kFlushThreshold || flush) WriteBuffer();
}

void OutputStream::EmitLine(std::string_view a, std::string_view b, std::string_view c) {
  Advance(a.size() + b.size() + c.size() + 1);
  if (failed_) return;
  buffer_.append(a);
  buffer_.append(b);
  buffer_.append(c);
  buffer_.push_back('\r');
  if (buffer_.size() > kFlushThreshold) WriteBuffer();
}

void OutputStream::FinishBuiltLine(size_t start) {
  buffer_.push_back('\r');
  try {
    Advance(buffer_.size() - start);
  } catch (...) {
    buffer_.resize(start);
    throw;
  }
  if (buffer_.size() > kFlushThreshold) WriteBuffer();
}

bool OutputStream::EmitEscapedLineWithin(std::string_view prefix, std::string_view text,
                                         std::string_view suffix, size_t max_escaped) {
  if (failed_ || text.size() > max_escaped) return false;
  const size_t start = buffer_.size();
  buffer_.append(prefix);
  const size_t text_start = buffer_.size();
  AppendEscaped(text, buffer_);
  if (buffer_.size() - text_start > max_escaped) {
    buffer_.resize(start);
    return false;
  }
  buffer_.append(suffix);
  buffer_.push_back('\r');
  Advance(buffer_.size() - start);
  if (!failed_ && buffer_.size() > kFlushThreshold) WriteBuffer();
  return true;
}

void OutputStream::EmitBytes(std::string_view bytes) {
  Advance(bytes.size());
  if (failed_) return;
  buffer_.append(bytes);
  if (buffer_.size() > kFlushThreshold) WriteBuffer();
}

int64_t OutputStream::EmitFileContents(const std::string& path, int64_t expected_size) {
  FileHandle source = FileHandle::OpenForReading(path);
  if (!source.IsOpen()) {
    throw WriterError("Cannot read the file '" + path + "': " + SystemErrorText(source.Error()));
  }
  Advance(static_cast<size_t>(expected_size));
  if (failed_) return expected_size;
  // The buffered lines go first; then the file's bytes go straight from file to file.
  WriteBuffer();
  const int64_t total = Guarded([&] { return counter_.CopyFrom(source, expected_size); });
  if (total < expected_size) {
    // The bytes already written no longer match the length that was announced.
    Fail("Cannot read the file '" + path + "' in full" +
         (source.Error() ? ": " + SystemErrorText(source.Error())
                         : std::string(": it became shorter")));
  }
  return total;
}

void OutputStream::BeginCollecting() {
  if (failed_ || collecting_) return;
  WriteBuffer();
  collecting_ = true;
}

std::string OutputStream::EndCollecting() {
  if (!collecting_) return std::string();
  if (!failed_) WriteBuffer();  // the rest of the page, into its buffer
  collecting_ = false;
  return page_.Take();
}

void OutputStream::WriteBuffer() {
  if (buffer_.empty()) return;
  if (!file_.IsOpen()) Open();
  Guarded([&] { Head().Write(buffer_); });
  buffer_.clear();
}

void OutputStream::Commit() {
  if (failed_) return;
  WriteBuffer();
  Open();
  Guarded([&] { file_.Commit(); });
  committed_ = true;
}

void OutputStream::Discard() {
  file_.Discard();
}

}  // namespace vellumox
