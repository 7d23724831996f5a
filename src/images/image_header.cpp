#include "images/image_header.h"

#include <array>
#include <vector>

#include "platform/file_system.h"

namespace vellumox {

namespace {

constexpr size_t kHeaderBytes = 65536;
constexpr size_t kMarkerScanLimit = 65525;

}  // namespace

int32_t MakeWord(uint8_t low, uint8_t high) {
  return high * 256 + low;
}

uint8_t ReadImageHeader(std::string_view head, int32_t& width, int32_t& height, uint8_t& bits,
                        int32_t& kind) {
  width = height = kind = 0;
  bits = 0;
  // A zero-filled buffer of 64 KiB with the file's first bytes in it.
  std::vector<uint8_t> b(kHeaderBytes, 0);
  for (size_t i = 0; i < head.size() && i < kHeaderBytes; ++i) b[i] = static_cast<uint8_t>(head[i]);

  if (b[0] == 137 && b[1] == 'P' && b[2] == 'N') {
    kind = 3;
    uint8_t color_type = b[25], depth = b[24];
    switch (color_type) {
      case 0:
        bits = depth;
        break;
      case 2:
        bits = static_cast<uint8_t>(3 * depth);
        break;
      case 3:
        bits = 8;
        break;
      case 4:
        bits = static_cast<uint8_t>(2 * depth);
        break;
      case 6:
        bits = static_cast<uint8_t>(4 * depth);
        break;
      default:
        kind = 0;
        break;
    }
    if (kind == 3) {
      width = MakeWord(b[19], b[18]);
      height = MakeWord(b[23], b[22]);
    }
  }
  if (b[0] == 'G' && b[1] == 'I' && b[2] == 'F') {
    kind = 1;
    width = MakeWord(b[6], b[7]);
    height = MakeWord(b[8], b[9]);
    bits = static_cast<uint8_t>((b[10] & 7) + 1);
  }
  if (b[0] == 'B' && b[1] == 'M') {
    kind = 4;
    width = MakeWord(b[18], b[19]);
    height = MakeWord(b[22], b[23]);
    bits = b[28];
  }
  if (kind != 0) return bits;

  size_t p = kMarkerScanLimit;
  for (size_t i = 0; i < kMarkerScanLimit; ++i) {
    if (b[i] == 0xFF && b[i + 1] == 0xD8 && b[i + 2] == 0xFF) {
      p = i + 2;
      break;
    }
  }
  while (p < kMarkerScanLimit) {
    if (b[p] != 0xFF || b[p + 1] == 0xFF) {
      ++p;
      continue;
    }
    uint8_t m = b[p + 1];
    bool frame = (m >= 0xC0 && m <= 0xC3) || (m >= 0xC5 && m <= 0xC7) || (m >= 0xC9 && m <= 0xCB) ||
                 (m >= 0xCD && m <= 0xCF);
    if (frame) {
      kind = 2;
      height = MakeWord(b[p + 6], b[p + 5]);
      width = MakeWord(b[p + 8], b[p + 7]);
      // The component count times 8; a count of 32 or more does not fit and reads as 0.
      bits = b[p + 9] < 32 ? static_cast<uint8_t>(8 * b[p + 9]) : 0;
      return bits;
    }
    p = p + 1 + static_cast<size_t>(MakeWord(b[p + 3], b[p + 2]));
  }
  return bits;
}

uint8_t ReadImageHeader(const std::string& path, int32_t& width, int32_t& height, uint8_t& bits,
                        int32_t& kind) {
  const std::string head = ReadFileHead(path, kHeaderBytes);
  return ReadImageHeader(std::string_view(head), width, height, bits, kind);
}

std::optional<JpegFrame> ReadJpegFrame(const std::string& path) {
  FileHandle file = FileHandle::OpenForReading(path);
  if (!file.IsOpen()) return std::nullopt;
  std::optional<JpegFrame> result;
  uint8_t soi[2];
  int64_t pos = 2;
  if (file.ReadAt(soi, 2, 0) == 2 && soi[0] == 0xFF && soi[1] == 0xD8) {
    // Walk the segments; a sane file reaches its frame within a few dozen.
    for (int segments = 0; segments < 1000; ++segments) {
      uint8_t m[2];
      if (file.ReadAt(m, 2, pos) != 2 || m[0] != 0xFF) break;
      if (m[1] == 0xFF) {  // fill byte
        pos += 1;
        continue;
      }
      if (m[1] == 0xD8 || m[1] == 0x01 || (m[1] >= 0xD0 && m[1] <= 0xD7)) {
        pos += 2;
        continue;
      }
      if (m[1] == 0xD9 || m[1] == 0xDA) break;  // end of image or scan before any frame
      uint8_t len[2];
      if (file.ReadAt(len, 2, pos + 2) != 2) break;
      int length = len[0] << 8 | len[1];
      if (length < 2) break;
      bool sof = m[1] >= 0xC0 && m[1] <= 0xCF && m[1] != 0xC4 && m[1] != 0xC8 && m[1] != 0xCC;
      if (sof) {
        uint8_t f[6];
        if (length < 8 || file.ReadAt(f, 6, pos + 4) != 6) break;
        JpegFrame frame;
        frame.marker = m[1];
        frame.height = f[1] << 8 | f[2];
        frame.width = f[3] << 8 | f[4];
        frame.components = f[5];
        result = frame;
        break;
      }
      pos += 2 + length;
    }
  }
  return result;
}

int ReadExifOrientation(std::string_view head) {
  auto byte = [&](size_t i) { return i < head.size() ? static_cast<uint8_t>(head[i]) : 0; };
  if (byte(0) != 0xFF || byte(1) != 0xD8) return 0;
  size_t pos = 2;
  // The segments before the first scan; EXIF is in an APP1 segment among them.
  while (pos + 4 <= head.size() && byte(pos) == 0xFF) {
    const uint8_t marker = byte(pos + 1);
    if (marker == 0xDA || marker == 0xD9) break;
    const size_t length = static_cast<size_t>(byte(pos + 2)) << 8 | byte(pos + 3);
    if (length < 2) break;
    const size_t data = pos + 4;
    if (marker == 0xE1 && head.substr(data, 6) == std::string_view("Exif\0\0", 6)) {
      const size_t tiff = data + 6;
      const bool big = byte(tiff) == 'M' && byte(tiff + 1) == 'M';
      if (!big && !(byte(tiff) == 'I' && byte(tiff + 1) == 'I')) return 0;
      auto u16 = [&](size_t i) {
        return big ? static_cast<unsigned>(byte(i)) << 8 | byte(i + 1)
                   : static_cast<unsigned>(byte(i + 1)) << 8 | byte(i);
      };
      auto u32 = [&](size_t i) {
        return big ? static_cast<size_t>(u16(i)) << 16 | u16(i + 2)
                   : static_cast<size_t>(u16(i + 2)) << 16 | u16(i);
      };
      const size_t end = data + length - 2;
      const size_t ifd = tiff + u32(tiff + 4);
      if (ifd + 2 > end) return 0;
      const unsigned entries = u16(ifd);
      for (unsigned k = 0; k < entries && ifd + 2 + 12 * (k + 1) <= end; ++k) {
        const size_t entry = ifd + 2 + 12 * k;
        if (u16(entry) == 0x0112 && u16(entry + 2) == 3) {
          const unsigned value = u16(entry + 8);
          return value >= 1 && value <= 8 ? static_cast<int>(value) : 0;
        }
      }
      return 0;
    }
    pos = data + length - 2;
  }
  return 0;
}

int ReadExifOrientation(const std::string& path) {
  const std::string head = ReadFileHead(path, kHeaderBytes);
  return ReadExifOrientation(std::string_view(head));
}

bool IsEmbeddableJpeg(const std::string& path, JpegFrame* out) {
  std::optional<JpegFrame> frame = ReadJpegFrame(path);
  if (!frame) return false;
  if (frame->marker != 0xC0 && frame->marker != 0xC1 && frame->marker != 0xC2) return false;
  if (frame->components != 1 && frame->components != 3) return false;
  if (frame->width <= 0 || frame->height <= 0) return false;
  // The end-of-image marker, allowing some padding after it.
  const int64_t size = FileLength(path);
  FileHandle file = FileHandle::OpenForReading(path);
  if (size < 0 || !file.IsOpen()) return false;
  std::array<uint8_t, 4096> tail{};
  const int64_t start =
      size > static_cast<int64_t>(tail.size()) ? size - static_cast<int64_t>(tail.size()) : 0;
  const int64_t n = file.ReadAt(tail.data(), static_cast<size_t>(size - start), start);
  bool eoi = false;
  for (int64_t i = n - 2; i >= 0 && !eoi; --i) eoi = tail[i] == 0xFF && tail[i + 1] == 0xD9;
  if (eoi && out) *out = *frame;
  return eoi;
}

}  // namespace vellumox
