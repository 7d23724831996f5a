#include "writer/input_text.h"

#include <bit>
#include <cstdint>

#include "writer/byte_scan.h"

namespace vellumox {

namespace {

constexpr size_t kChunk = 1 << 18;

}  // namespace

const char* FindLineEnd(const char* p, const char* end) {
  if (byte_scan::kWide) {
    for (; end - p >= 16; p += 16) {
      if (const unsigned found = byte_scan::Match16(p, '\r', '\n', '\n')) {
        return p + std::countr_zero(found);
      }
    }
  }
  while (end - p >= 8) {
    uint64_t word = byte_scan::Load(p);
    if (byte_scan::HasByte(word, '\r') | byte_scan::HasByte(word, '\n')) break;
    p += 8;
  }
  while (p < end && *p != '\r' && *p != '\n') ++p;
  return p;
}

size_t FindNonAscii(std::string_view text) {
  const char* begin = text.data();
  const char* p = begin;
  const char* end = begin + text.size();
  while (end - p >= 8 && !(byte_scan::Load(p) & byte_scan::kHighs)) p += 8;
  for (; p < end; ++p) {
    if (static_cast<unsigned char>(*p) >= 0x80) return static_cast<size_t>(p - begin);
  }
  return std::string_view::npos;
}

InputTextReader::~InputTextReader() {
  Close();
}

void InputTextReader::Close() {
  file_.Close();
}

bool InputTextReader::Open(const std::string& path) {
  Close();
  file_ = FileHandle::OpenForReading(path);
  if (!file_.IsOpen()) {
    read_error_ = file_.Error();
    return false;
  }
  encoding_ = TextEncoding::kWindows1252;
  decided_ = false;
  converter_.reset();
  pending_.clear();
  pos_ = 0;
  file_offset_ = 0;
  eof_ = false;
  skip_line_feed_ = false;
  read_error_ = 0;
  consumed_ = converter_base_ = lines_ended_ = first_invalid_line_ = 0;
  return true;
}

void InputTextReader::NoteLine(size_t start, size_t length) {
  if (first_invalid_line_ != 0 || InvalidSequences() == 0) return;
  const size_t at = converter_base_ + converter_->FirstReplacement();
  if (at >= consumed_ + start && at < consumed_ + start + length) {
    first_invalid_line_ = lines_ended_ + 1;
  }
}

// Called with the chunk that holds the first byte above 127 (or the first chunk, for a
// byte-order mark): settles the encoding for the whole file.
void InputTextReader::Decide(std::string_view chunk, int64_t chunk_offset) {
  decided_ = true;
  if (chunk_offset == 0 && (chunk.substr(0, 2) == "\xFF\xFE" || chunk.substr(0, 2) == "\xFE\xFF")) {
    encoding_ = chunk[0] == '\xFF' ? TextEncoding::kUtf16LE : TextEncoding::kUtf16BE;
  } else if (chunk_offset == 0 && chunk.substr(0, 3) == "\xEF\xBB\xBF") {
    // A UTF-8 byte-order mark declares UTF-8: the mark goes, and every invalid byte after it
    // becomes "?", as a character that Windows-1252 lacks does.
    encoding_ = TextEncoding::kUtf8;
  } else {
    // Everything before this chunk was ASCII; check this chunk and the rest of the file.
    Utf8Scanner scanner;
    scanner.Feed(chunk);
    std::string buf(kChunk, '\0');
    int64_t offset = chunk_offset + static_cast<int64_t>(chunk.size());
    while (!scanner.Broken()) {
      int64_t n = file_.ReadAt(buf.data(), buf.size(), offset);
      if (n < 0) {
        read_error_ = file_.Error();
        break;
      }
      if (n == 0) break;
      scanner.Feed(std::string_view(buf.data(), static_cast<size_t>(n)));
      offset += n;
    }
    encoding_ = scanner.Valid() ? TextEncoding::kUtf8 : TextEncoding::kWindows1252;
  }
  // A file found to be valid UTF-8 throughout is its own UTF-8: no conversion to pass it through.
  const bool validated = encoding_ == TextEncoding::kUtf8 &&
                         !(chunk_offset == 0 && chunk.substr(0, 3) == "\xEF\xBB\xBF");
  if (encoding_ != TextEncoding::kWindows1252 && !(keep_characters_ && validated)) {
    converter_ = std::make_unique<CodePageConverter>(encoding_, keep_characters_);
  }
}

bool InputTextReader::Fill() {
  if (eof_ || !file_.IsOpen()) return false;
  if (pos_ > 0) {
    pending_.erase(0, pos_);
    consumed_ += pos_;
    pos_ = 0;
  }
  if (converter_) {
    read_buffer_.resize(kChunk);
    int64_t n = file_.ReadSome(read_buffer_.data(), read_buffer_.size());
    if (n <= 0) {
      if (n < 0) read_error_ = file_.Error();
      eof_ = true;
      converter_->Finish(pending_);
      return false;
    }
    file_offset_ += n;
    converter_->Convert(std::string_view(read_buffer_.data(), static_cast<size_t>(n)), pending_);
    return true;
  }
  // Byte for byte (or undecided, and ASCII so far): read straight into the pending text.
  const size_t old = pending_.size();
  pending_.resize(old + kChunk);
  int64_t n = file_.ReadSome(pending_.data() + old, kChunk);
  pending_.resize(old + static_cast<size_t>(n > 0 ? n : 0));
  if (n <= 0) {
    if (n < 0) read_error_ = file_.Error();
    eof_ = true;
    return false;
  }
  const int64_t offset = file_offset_;
  file_offset_ += n;
  if (!decided_) {
    std::string_view fresh(pending_.data() + old, static_cast<size_t>(n));
    bool bom16 =
        offset == 0 && (fresh.substr(0, 2) == "\xFF\xFE" || fresh.substr(0, 2) == "\xFE\xFF");
    if (bom16 || FindNonAscii(fresh) != std::string_view::npos) {
      Decide(fresh, offset);
      if (converter_) {
        converter_base_ = consumed_ + old;  // what came before was ASCII, taken as it is
        std::string raw = pending_.substr(old);
        pending_.resize(old);
        std::string_view piece(raw);
        if (offset == 0) piece.remove_prefix(ByteOrderMarkLength(piece, encoding_));
        converter_->Convert(piece, pending_);
      }
    }
  }
  return true;
}

bool InputTextReader::NextLine(std::string& line) {
  std::string_view view;
  if (!NextLine(view)) return false;
  line.assign(view);
  return true;
}

bool InputTextReader::NextLine(std::string_view& line) {
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
    const char* end = begin + limit;
    const char* p = FindLineEnd(begin + scanned, end);
    if (p < end) {
      line = std::string_view(begin, static_cast<size_t>(p - begin));
      NoteLine(pos_, line.size() + 1);
      pos_ += static_cast<size_t>(p - begin) + 1;
      ++lines_ended_;
      if (*p == '\r') skip_line_feed_ = true;
      return true;
    }
    scanned = limit;
    if (limit == kMaxLineLength) {
      line = std::string_view(begin, limit);
      NoteLine(pos_, limit);
      pos_ += limit;
      return true;
    }
    if (!eof_) {
      // Fill drops the text already handed out, so pos_ moves to 0 while scanned stays valid.
      Fill();
      continue;
    }
    if (pos_ < pending_.size()) {
      line = std::string_view(pending_).substr(pos_);
      NoteLine(pos_, line.size());
      pos_ = pending_.size();
      return true;
    }
    return false;
  }
}

}  // namespace vellumox
