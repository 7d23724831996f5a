#include "writer/input_text.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace vellumox {

namespace {
constexpr size_t kChunk = 1 << 18;

ssize_t ReadSome(int fd, char* buf, size_t size) {
  for (;;) {
    ssize_t n = ::read(fd, buf, size);
    if (n < 0 && errno == EINTR) continue;
    return n;
  }
}
}  // namespace

std::optional<TextEncoding> DetectFileEncoding(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  std::string buf(kChunk, '\0');
  Utf8Scanner scanner;
  bool first = true;
  std::optional<TextEncoding> result = TextEncoding::kWindows1252;
  for (;;) {
    ssize_t n = ReadSome(fd, buf.data(), buf.size());
    if (n < 0) {
      result = std::nullopt;
      break;
    }
    if (n == 0) {
      result =
          scanner.Valid() && !scanner.AllAscii() ? TextEncoding::kUtf8 : TextEncoding::kWindows1252;
      break;
    }
    std::string_view piece(buf.data(), static_cast<size_t>(n));
    if (first) {
      first = false;
      if (piece.substr(0, 2) == "\xFF\xFE") {
        result = TextEncoding::kUtf16LE;
        break;
      }
      if (piece.substr(0, 2) == "\xFE\xFF") {
        result = TextEncoding::kUtf16BE;
        break;
      }
    }
    scanner.Feed(piece);
    if (scanner.Broken()) break;  // nothing later can make it valid again
  }
  ::close(fd);
  return result;
}

InputTextReader::~InputTextReader() {
  Close();
}

void InputTextReader::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

bool InputTextReader::Open(const std::string& path, TextEncoding encoding) {
  Close();
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) return false;
  encoding_ = encoding;
  converter_.reset();
  if (encoding != TextEncoding::kWindows1252) {
    converter_ = std::make_unique<CodePageConverter>(encoding);
  }
  pending_.clear();
  pos_ = 0;
  at_start_ = true;
  eof_ = false;
  skip_line_feed_ = false;
  read_error_ = 0;
  return true;
}

bool InputTextReader::Fill() {
  if (eof_ || fd_ < 0) return false;
  if (pos_ > 0) {
    pending_.erase(0, pos_);
    pos_ = 0;
  }
  read_buffer_.resize(kChunk);
  char* buf = read_buffer_.data();
  ssize_t n = ReadSome(fd_, buf, read_buffer_.size());
  if (n < 0) {
    read_error_ = errno;
    eof_ = true;
    return false;
  }
  if (n == 0) {
    eof_ = true;
    if (converter_) converter_->Finish(pending_);
    return false;
  }
  std::string_view piece(buf, static_cast<size_t>(n));
  if (at_start_) {
    at_start_ = false;
    piece.remove_prefix(ByteOrderMarkLength(piece, encoding_));
  }
  if (converter_) {
    converter_->Convert(piece, pending_);
  } else {
    pending_.append(piece);
  }
  return true;
}

bool InputTextReader::NextLine(std::string& line) {
  size_t scanned = 0;  // bytes after pos_ already known to hold no line end
  for (;;) {
    if (skip_line_feed_) {
      if (pos_ < pending_.size()) {
        if (pending_[pos_] == '\n') ++pos_;
        skip_line_feed_ = false;
      } else if (!eof_) {
        Fill();
        continue;
      } else {
        skip_line_feed_ = false;
      }
    }
    const char* begin = pending_.data() + pos_;
    size_t avail = pending_.size() - pos_;
    size_t limit = avail < kMaxLineLength ? avail : kMaxLineLength;
    const char* p = begin + scanned;
    const char* end = begin + limit;
    while (p < end && *p != '\r' && *p != '\n') ++p;
    if (p < end) {
      line.assign(begin, static_cast<size_t>(p - begin));
      pos_ += static_cast<size_t>(p - begin) + 1;
      if (*p == '\r') skip_line_feed_ = true;
      return true;
    }
    scanned = limit;
    if (limit == kMaxLineLength) {
      line.assign(begin, limit);
      pos_ += limit;
      return true;
    }
    if (!eof_) {
      // Fill drops the text already handed out, so pos_ moves to 0 while scanned stays valid.
      Fill();
      continue;
    }
    if (pos_ < pending_.size()) {
      line.assign(pending_, pos_, std::string::npos);
      pos_ = pending_.size();
      return true;
    }
    return false;
  }
}

}  // namespace vellumox
