// The requests and answers between a program and its picture decoder helper, over two pipes, in
// the byte order of the machine (both ends are the same build):
//   request: op, format, path, temporary folder (strings: u32 length and bytes);
//   answer:  1 and the answer's fields (i32 each): for 'S' (size) width and height; for 'D'
//            (decode) width, height, channels, alpha (0 or 1), bits (1 or 8), palette entries
//            and entries with an alpha, then the palette (3 bytes an entry) and those alphas,
//            then per row 1 and the row's bytes (PixelRows::RowBytes); for 'F' (formats) the
//            formats that the helper reads, as bits (1 << format);
//            or 0 and a reason (a string), also in place of a row.
#pragma once

#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <string>

namespace vellumox {

inline constexpr char kSize = 'S';
inline constexpr char kDecode = 'D';
inline constexpr char kFormats = 'F';
// The fields of a decode answer before its palette.
inline constexpr int kDecodeFields = 7;

inline void Put(std::string& out, const void* data, size_t size) {
  out.append(static_cast<const char*>(data), size);
}

inline void PutString(std::string& out, const std::string& text) {
  const uint32_t size = static_cast<uint32_t>(text.size());
  Put(out, &size, sizeof size);
  out += text;
}

inline bool WriteAll(int fd, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace vellumox
