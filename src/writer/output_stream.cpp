#include "writer/output_stream.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>

#include "writer/pdf_string.h"
#include "writer/writer_error.h"

namespace vellumox {

namespace {

std::string ErrnoText(int err) {
  return std::strerror(err);
}

// A hidden name beside the output, unique enough to be created with O_EXCL.
std::string TemporaryNameFor(const std::string& path, uint64_t salt) {
  size_t slash = path.find_last_of('/');
  std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
  char suffix[24];
  std::snprintf(suffix, sizeof suffix, ".%012llx.part",
                static_cast<unsigned long long>(salt & 0xFFFFFFFFFFFFull));
  return folder + "." + base + suffix;
}

uint64_t RandomSalt(const void* self) {
  uint64_t salt =
      static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
  salt ^= reinterpret_cast<uintptr_t>(self) * 0x9E3779B97F4A7C15ull;
  salt ^= static_cast<uint64_t>(::getpid()) << 32;
  try {
    std::random_device device;
    salt ^= (static_cast<uint64_t>(device()) << 32) ^ device();
  } catch (...) {
    // The clock, the address and the process number are unique enough on their own.
  }
  return salt;
}

}  // namespace

OutputStream::OutputStream(int64_t max_size) : max_size_(max_size) {
  buffer_.reserve(kFlushThreshold * 2);
}

OutputStream::~OutputStream() {
  Discard();
}

void OutputStream::Reset(const std::string& output_path) {
  Discard();
  path_ = output_path;
  buffer_.clear();
  offset_ = 0;
  written_ = 0;
  failed_ = false;
  committed_ = false;
}

void OutputStream::Open() {
  if (fd_ >= 0 || failed_) return;
  if (path_.empty()) Fail("No output file name was given.");
  uint64_t salt = RandomSalt(this);
  for (int attempt = 0; attempt < 64; ++attempt) {
    std::string candidate = TemporaryNameFor(path_, salt + attempt * 7919u);
    int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      fd_ = fd;
      temp_path_ = candidate;
      return;
    }
    if (errno != EEXIST) {
      Fail("Cannot create the PDF file '" + path_ + "': " + ErrnoText(errno));
    }
  }
  Fail("Cannot create the PDF file '" + path_ + "': no free temporary name beside it");
}

void OutputStream::Fail(const std::string& description) {
  failed_ = true;
  buffer_.clear();
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
  if (!temp_path_.empty()) {
    ::unlink(temp_path_.c_str());
    temp_path_.clear();
  }
  throw WriterError(description);
}

void OutputStream::Advance(size_t bytes) {
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
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    throw WriterError("Cannot read the file '" + path + "': " + ErrnoText(errno));
  }
  try {
    Advance(static_cast<size_t>(expected_size));
  } catch (...) {
    ::close(fd);
    throw;
  }
  if (failed_) {
    ::close(fd);
    return expected_size;
  }
  // The buffered lines go first; then the file's bytes go straight from file to file.
  WriteBuffer();
  int64_t total = 0;
  int read_errno = 0;
  bool in_kernel = true;
  std::string chunk;
  while (total < expected_size) {
    const size_t want = static_cast<size_t>(std::min<int64_t>(expected_size - total, 1 << 24));
    ssize_t n;
    if (in_kernel) {
      n = ::copy_file_range(fd, nullptr, fd_, nullptr, want, 0);
      if (n < 0 && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP)) {
        in_kernel = false;
        continue;
      }
    } else {
      chunk.resize(std::min<size_t>(want, 1 << 20));
      n = ::read(fd, chunk.data(), chunk.size());
      if (n > 0) {
        try {
          WriteAll(chunk.data(), static_cast<size_t>(n));
        } catch (...) {
          ::close(fd);
          throw;
        }
      }
    }
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      read_errno = n < 0 ? errno : 0;
      break;
    }
    total += n;
    written_ += n;
  }
  ::close(fd);
  if (total < expected_size) {
    // The bytes already written no longer match the length that was announced.
    Fail("Cannot read the file '" + path + "' in full" +
         (read_errno ? ": " + ErrnoText(read_errno) : std::string(": it became shorter")));
  }
  return total;
}

void OutputStream::WriteAll(const char* data, size_t size) {
  while (size > 0) {
    ssize_t n = ::write(fd_, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) Fail("Cannot write the PDF file '" + path_ + "': " + ErrnoText(errno));
    data += n;
    size -= static_cast<size_t>(n);
  }
}

void OutputStream::WriteBuffer() {
  if (buffer_.empty()) return;
  if (fd_ < 0) Open();
  WriteAll(buffer_.data(), buffer_.size());
  written_ += static_cast<int64_t>(buffer_.size());
  buffer_.clear();
}

void OutputStream::Commit() {
  if (failed_) return;
  WriteBuffer();
  if (fd_ < 0) Open();
  int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) {
    Fail("Cannot write the PDF file '" + path_ + "': " + ErrnoText(errno));
  }
  if (::rename(temp_path_.c_str(), path_.c_str()) != 0) {
    Fail("Cannot save the PDF file '" + path_ + "': " + ErrnoText(errno));
  }
  temp_path_.clear();
  committed_ = true;
}

void OutputStream::Discard() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
  if (!temp_path_.empty()) {
    ::unlink(temp_path_.c_str());
    temp_path_.clear();
  }
}

}  // namespace vellumox
