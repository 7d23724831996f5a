#include "writer/output_stream.h"

#include <zlib.h>

#include <algorithm>
#include <cerrno>

#include "platform/file_system.h"
#include "platform/signals.h"
#include "writer/pdf_string.h"
#include "writer/writer_error.h"

namespace vellumox {

struct OutputStream::Deflater {
  z_stream z{};
};

OutputStream::OutputStream(int64_t max_size) : max_size_(max_size) {
  buffer_.reserve(kFlushThreshold * 2);
}

OutputStream::~OutputStream() {
  Discard();
  if (deflater_) deflateEnd(&deflater_->z);
}

void OutputStream::Reset(const std::string& output_path) {
  Discard();
  if (deflater_) {
    deflateEnd(&deflater_->z);
    deflater_.reset();
  }
  path_ = output_path;
  buffer_.clear();
  offset_ = 0;
  written_ = 0;
  failed_ = false;
  committed_ = false;
}

void OutputStream::Open() {
  if (file_.IsOpen() || failed_) return;
  if (path_.empty()) Fail("No output file name was given.");
  // An output that is a symbolic link is written through to the file it names; only a regular
  // file is ever replaced, never a folder, a device or a pipe.
  target_ = FollowSymlinks(path_);
  switch (TypeOf(target_)) {
    case FileType::kFolder:
      Fail("Cannot write the PDF file '" + path_ + "': it is a folder.");
    case FileType::kOther:
      Fail("Cannot write the PDF file '" + path_ +
           "': it is not a regular file (a device or a pipe), which a PDF never replaces.");
    case FileType::kNone:
    case FileType::kRegular:
      break;
  }
  file_ = CreateFileBeside(target_, &temp_path_);
  if (file_.IsOpen()) {
    RegisterTemporaryFile(temp_path_);
    // A PDF that replaces an earlier file keeps that file's owner, group (as far as this
    // process may give them) and permissions; the owner first, as a change of owner may clear
    // permission bits.
    if (std::optional<FileOwner> owner = OwnerOf(target_)) {
      file_.SetOwner(owner->user, owner->group);
    }
    if (std::optional<unsigned> bits = PermissionBits(target_)) file_.SetPermissions(*bits);
    return;
  }
  if (file_.Error() == EEXIST) {
    Fail("Cannot create the PDF file '" + path_ + "': no free temporary name beside it");
  }
  Fail("Cannot create the PDF file '" + path_ + "': " + SystemErrorText(file_.Error()));
}

[[noreturn]] void OutputStream::Fail(const std::string& description) {
  failed_ = true;
  buffer_.clear();
  file_.Close();
  if (!temp_path_.empty()) {
    RemoveFile(temp_path_);
    UnregisterTemporaryFile(temp_path_);
    temp_path_.clear();
  }
  throw WriterError(description);
}

void OutputStream::Advance(size_t bytes) {
  // While compressing, the offset moves with the compressed bytes, as they are written.
  if (deflater_) return;
  if (failed_) {
    offset_ += static_cast<int64_t>(bytes);
    return;
  }
  if (offset_ + static_cast<int64_t>(bytes) > max_size_) {
    offset_ += static_cast<int64_t>(bytes);
    Fail("The PDF file '" + path_ + "' would be larger than " + std::to_string(max_size_) +
         " bytes, the most that its cross-reference table can address.");
  }
  offset_ += static_cast<int64_t>(bytes);
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
  const int64_t total = file_.CopyFrom(source, expected_size);
  written_ += total;
  if (total < expected_size) {
    if (file_.Error() != 0) {
      Fail("Cannot write the PDF file '" + path_ + "': " + SystemErrorText(file_.Error()));
    }
    // The bytes already written no longer match the length that was announced.
    Fail("Cannot read the file '" + path + "' in full" +
         (source.Error() ? ": " + SystemErrorText(source.Error())
                         : std::string(": it became shorter")));
  }
  return total;
}

void OutputStream::WriteAll(const char* data, size_t size) {
  if (!file_.WriteAll(data, size)) {
    Fail("Cannot write the PDF file '" + path_ + "': " + SystemErrorText(file_.Error()));
  }
}

void OutputStream::BeginCompressed() {
  if (failed_ || deflater_) return;
  WriteBuffer();
  deflater_ = std::make_unique<Deflater>();
  if (deflateInit(&deflater_->z, Z_DEFAULT_COMPRESSION) != Z_OK) {
    deflater_.reset();
    Fail("Cannot compress the PDF file '" + path_ + "'.");
  }
}

void OutputStream::EndCompressed() {
  if (!deflater_) return;
  if (!failed_) DeflateBuffer(true);
  deflateEnd(&deflater_->z);
  deflater_.reset();
}

void OutputStream::DeflateBuffer(bool finish) {
  if (!file_.IsOpen()) Open();
  z_stream& z = deflater_->z;
  z.next_in = reinterpret_cast<Bytef*>(buffer_.data());
  z.avail_in = static_cast<uInt>(buffer_.size());
  char out[1 << 16];
  int rc = Z_OK;
  do {
    z.next_out = reinterpret_cast<Bytef*>(out);
    z.avail_out = sizeof out;
    rc = deflate(&z, finish ? Z_FINISH : Z_NO_FLUSH);
    if (rc == Z_STREAM_ERROR) Fail("Cannot compress the PDF file '" + path_ + "'.");
    const size_t produced = sizeof out - z.avail_out;
    if (offset_ + static_cast<int64_t>(produced) > max_size_) {
      Fail("The PDF file '" + path_ + "' would be larger than " + std::to_string(max_size_) +
           " bytes, the most that its cross-reference table can address.");
    }
    WriteAll(out, produced);
    offset_ += static_cast<int64_t>(produced);
    written_ += static_cast<int64_t>(produced);
  } while (z.avail_out == 0 || (finish && rc != Z_STREAM_END));
  buffer_.clear();
}

void OutputStream::WriteBuffer() {
  if (deflater_) {
    if (!buffer_.empty()) DeflateBuffer(false);
    return;
  }
  if (buffer_.empty()) return;
  if (!file_.IsOpen()) Open();
  WriteAll(buffer_.data(), buffer_.size());
  written_ += static_cast<int64_t>(buffer_.size());
  buffer_.clear();
}

void OutputStream::Commit() {
  if (failed_) return;
  WriteBuffer();
  if (!file_.IsOpen()) Open();
  if (!file_.Close()) {
    Fail("Cannot write the PDF file '" + path_ + "': " + SystemErrorText(file_.Error()));
  }
  int error = 0;
  if (!RenameFile(temp_path_, target_, &error)) {
    Fail("Cannot save the PDF file '" + path_ + "': " + SystemErrorText(error));
  }
  UnregisterTemporaryFile(temp_path_);
  temp_path_.clear();
  committed_ = true;
}

void OutputStream::Discard() {
  file_.Close();
  if (!temp_path_.empty()) {
    RemoveFile(temp_path_);
    UnregisterTemporaryFile(temp_path_);
    temp_path_.clear();
  }
}

}  // namespace vellumox
