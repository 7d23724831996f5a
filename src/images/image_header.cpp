#include "images/image_header.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

#include "images/image_codec.h"
#include "platform/file_system.h"

namespace vellumox {

namespace {

constexpr size_t kHeaderBytes = 65536;
constexpr size_t kMarkerScanLimit = 65525;

// Bytes read by position: a file, or bytes in memory. Bytes past the end are not there.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual bool ReadAt(int64_t pos, uint8_t* out, size_t n) const = 0;
};

class MemorySource : public ByteSource {
 public:
  explicit MemorySource(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  bool ReadAt(int64_t pos, uint8_t* out, size_t n) const override {
    if (pos < 0 || static_cast<uint64_t>(pos) + n > bytes_.size()) return false;
    std::copy_n(bytes_.data() + pos, n, out);
    return true;
  }

 private:
  std::span<const uint8_t> bytes_;
};

class FileSource : public ByteSource {
 public:
  explicit FileSource(FileHandle& file) : file_(file) {}
  bool ReadAt(int64_t pos, uint8_t* out, size_t n) const override {
    return file_.ReadAt(out, n, pos) == static_cast<int64_t>(n);
  }

 private:
  FileHandle& file_;
};

// One segment of a JPEG: its marker, where its 0xFF stands and its length field (which counts
// itself but not the marker).
struct JpegSegment {
  uint8_t marker = 0;
  int64_t position = 0;
  size_t length = 0;
};

// The segments of a JPEG before its first scan, from a position just after its start-of-image
// marker: fill bytes and markers that stand alone are stepped over; the walk ends at the first
// scan, the end of the image, a byte that is not a marker, a length that cannot be, a segment
// that starts at or past limit, or after 1000 segments (a sane file reaches its frame within a
// few dozen).
class JpegSegmentWalker {
 public:
  JpegSegmentWalker(const ByteSource& source, int64_t start, int64_t limit)
      : source_(source), pos_(start), limit_(limit) {}

  std::optional<JpegSegment> Next() {
    while (steps_++ < 1000 && pos_ < limit_) {
      uint8_t m[2];
      if (!source_.ReadAt(pos_, m, 2) || m[0] != 0xFF) break;
      if (m[1] == 0xFF) {  // fill byte
        pos_ += 1;
        continue;
      }
      if (m[1] == 0xD8 || m[1] == 0x01 || (m[1] >= 0xD0 && m[1] <= 0xD7)) {
        pos_ += 2;
        continue;
      }
      if (m[1] == 0xD9 || m[1] == 0xDA) break;  // end of image or scan
      uint8_t len[2];
      if (!source_.ReadAt(pos_ + 2, len, 2)) break;
      const size_t length = static_cast<size_t>(len[0] << 8 | len[1]);
      if (length < 2) break;
      JpegSegment segment{m[1], pos_, length};
      pos_ += 2 + static_cast<int64_t>(length);
      return segment;
    }
    pos_ = limit_;
    return std::nullopt;
  }

 private:
  const ByteSource& source_;
  int64_t pos_;
  int64_t limit_;
  int steps_ = 0;
};

int32_t EmfLittleEndian32(const unsigned char* p) {
  return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                              static_cast<uint32_t>(p[2]) << 16 |
                              static_cast<uint32_t>(p[3]) << 24);
}

// A frame header's marker: the start-of-frame markers except DHT (C4), JPG (C8) and DAC (CC).
bool IsFrameMarker(uint8_t m) {
  return m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC;
}

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

  // The start of image may stand anywhere in the first bytes; the frame is looked for within
  // them, its fields read from the zero-filled buffer.
  for (size_t i = 0; i < kMarkerScanLimit; ++i) {
    if (b[i] != 0xFF || b[i + 1] != 0xD8 || b[i + 2] != 0xFF) continue;
    MemorySource source(b);
    JpegSegmentWalker walker(source, static_cast<int64_t>(i + 2), kMarkerScanLimit);
    while (std::optional<JpegSegment> segment = walker.Next()) {
      if (!IsFrameMarker(segment->marker)) continue;
      const auto p = static_cast<size_t>(segment->position);
      kind = 2;
      height = MakeWord(b[p + 6], b[p + 5]);
      width = MakeWord(b[p + 8], b[p + 7]);
      // The component count times 8; a count of 32 or more does not fit and reads as 0.
      bits = b[p + 9] < 32 ? static_cast<uint8_t>(8 * b[p + 9]) : 0;
      break;
    }
    break;
  }
  return bits;
}

uint8_t ReadImageHeader(const std::string& path, int32_t& width, int32_t& height, uint8_t& bits,
                        int32_t& kind) {
  const std::string head = ReadFileHead(path, kHeaderBytes);
  return ReadImageHeader(std::string_view(head), width, height, bits, kind);
}

int ReadExifOrientation(std::string_view head) {
  auto byte = [&](size_t i) { return i < head.size() ? static_cast<uint8_t>(head[i]) : 0; };
  if (byte(0) != 0xFF || byte(1) != 0xD8) return 0;
  MemorySource source(std::span(reinterpret_cast<const uint8_t*>(head.data()), head.size()));
  JpegSegmentWalker walker(source, 2, static_cast<int64_t>(head.size()));
  // EXIF is in an APP1 segment before the first scan.
  while (std::optional<JpegSegment> segment = walker.Next()) {
    const size_t data = static_cast<size_t>(segment->position) + 4;
    if (segment->marker != 0xE1 || head.substr(data, 6) != std::string_view("Exif\0\0", 6)) {
      continue;
    }
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
    const size_t end = data + segment->length - 2;
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
  return 0;
}

int ReadExifOrientation(const std::string& path) {
  const std::string head = ReadFileHead(path, kHeaderBytes);
  return ReadExifOrientation(std::string_view(head));
}

namespace {

// An end-of-image marker within the last 4 KiB of the file (some writers pad after it).
bool EndsWithEndOfImage(FileHandle& file, int64_t size) {
  std::array<uint8_t, 4096> tail{};
  const int64_t start =
      size > static_cast<int64_t>(tail.size()) ? size - static_cast<int64_t>(tail.size()) : 0;
  const int64_t n = file.ReadAt(tail.data(), static_cast<size_t>(size - start), start);
  for (int64_t i = n - 2; i >= 0; --i) {
    if (tail[i] == 0xFF && tail[i + 1] == 0xD9) return true;
  }
  return false;
}

// The most that the ICC chunks of one JPEG may add up to: 255 chunks of a segment each.
constexpr size_t kMaxIccBytes = 255 * 65519;

}  // namespace

std::optional<JpegTraits> ReadJpegTraits(const std::string& path) {
  FileHandle file = FileHandle::OpenForReading(path);
  if (!file.IsOpen()) return std::nullopt;
  FileSource source(file);
  uint8_t soi[2];
  if (!source.ReadAt(0, soi, 2) || soi[0] != 0xFF || soi[1] != 0xD8) return std::nullopt;
  JpegTraits traits;
  // The ICC profile comes in numbered chunks ("ICC_PROFILE\0", number, count), in any order.
  std::vector<std::string> icc_chunks;
  size_t icc_bytes = 0;
  bool icc_broken = false;
  JpegSegmentWalker walker(source, 2, INT64_MAX);
  while (std::optional<JpegSegment> segment = walker.Next()) {
    const int64_t data = segment->position + 4;
    const size_t size = segment->length - 2;
    if (IsFrameMarker(segment->marker)) {
      uint8_t f[6];
      if (traits.frame.marker != 0 || size < 6 || !source.ReadAt(data, f, 6)) continue;
      traits.frame.marker = segment->marker;
      traits.precision = f[0];
      traits.frame.height = f[1] << 8 | f[2];
      traits.frame.width = f[3] << 8 | f[4];
      traits.frame.components = f[5];
      uint8_t ids[9];
      if (f[5] == 3 && size >= 15 && source.ReadAt(data + 6, ids, 9)) {
        traits.rgb_ids = ids[0] == 'R' && ids[3] == 'G' && ids[6] == 'B';
      }
    } else if (segment->marker == 0xE0 && size >= 5) {
      uint8_t id[5];
      traits.jfif |= source.ReadAt(data, id, 5) && std::equal(id, id + 5, "JFIF");
    } else if (segment->marker == 0xEE && size >= 5) {
      uint8_t id[5];
      traits.adobe |= source.ReadAt(data, id, 5) && std::equal(id, id + 5, "Adobe");
    } else if (segment->marker == 0xE2 && size > 14) {
      uint8_t id[14];
      if (!source.ReadAt(data, id, 14) || !std::equal(id, id + 12, "ICC_PROFILE")) continue;
      const size_t number = id[12], count = id[13];
      if (icc_chunks.empty()) icc_chunks.resize(count);
      if (number < 1 || number > icc_chunks.size() || count != icc_chunks.size() ||
          !icc_chunks[number - 1].empty() || icc_bytes + size - 14 > kMaxIccBytes) {
        icc_broken = true;
        continue;
      }
      std::string& chunk = icc_chunks[number - 1];
      chunk.resize(size - 14);
      if (!source.ReadAt(data + 14, reinterpret_cast<uint8_t*>(chunk.data()), chunk.size())) {
        icc_broken = true;
      }
      icc_bytes += chunk.size();
    }
  }
  const bool icc_whole = std::none_of(icc_chunks.begin(), icc_chunks.end(),
                                      [](const std::string& c) { return c.empty(); });
  if (!icc_broken && icc_whole) {
    for (const std::string& chunk : icc_chunks) traits.icc_profile += chunk;
  }
  const std::string head = ReadFileHead(path, kHeaderBytes);
  traits.orientation = ReadExifOrientation(std::string_view(head));
  const int64_t size = FileLength(path);
  traits.ends = size > 0 && EndsWithEndOfImage(file, size);
  return traits;
}

std::optional<JpegFrame> ReadJpegFrame(const std::string& path) {
  std::optional<JpegTraits> traits = ReadJpegTraits(path);
  if (!traits || traits->frame.marker == 0) return std::nullopt;
  return traits->frame;
}

std::optional<PixelSize> ReadEmfSize(const std::string& path) {
  const std::string head = ReadFileHead(path, 88);
  const unsigned char* h = reinterpret_cast<const unsigned char*>(head.data());
  if (head.size() < 88 || EmfLittleEndian32(h) != 1 || std::memcmp(h + 40, " EMF", 4) != 0) {
    return std::nullopt;
  }
  // The frame, in hundredths of a millimetre, gives the natural size.
  int64_t frame_width = static_cast<int64_t>(EmfLittleEndian32(h + 32)) - EmfLittleEndian32(h + 24);
  int64_t frame_height =
      static_cast<int64_t>(EmfLittleEndian32(h + 36)) - EmfLittleEndian32(h + 28);
  double width = std::nearbyint(static_cast<double>(frame_width) / 2540.0 * 96.0);
  double height = std::nearbyint(static_cast<double>(frame_height) / 2540.0 * 96.0);
  if (width < 1 || height < 1 || width * height > static_cast<double>(kMaxMetafilePixels) ||
      width > ImageCodec::kMaxSide || height > ImageCodec::kMaxSide) {
    return std::nullopt;
  }
  return PixelSize{static_cast<int>(width), static_cast<int>(height)};
}

bool CanEmbedAsItIs(const JpegTraits& t) {
  const int m = t.frame.marker, n = t.frame.components;
  if (m != 0xC0 && m != 0xC1 && m != 0xC2) return false;
  if (t.precision != 8 || (n != 1 && n != 3 && n != 4)) return false;
  if (t.frame.width <= 0 || t.frame.height <= 0 || !t.ends) return false;
  return !(n == 3 && t.rgb_ids && !t.adobe && !t.jfif);
}

bool IccProfileFitsPdf13(std::string_view p, int components) {
  if (p.size() < 132) return false;
  auto u8 = [&](size_t i) { return static_cast<uint32_t>(static_cast<uint8_t>(p[i])); };
  const uint32_t declared = u8(0) << 24 | u8(1) << 16 | u8(2) << 8 | u8(3);
  if (declared != p.size() || u8(8) != 2 || p.substr(36, 4) != "acsp") return false;
  const std::string_view space = p.substr(16, 4);
  return (components == 1 && space == "GRAY") || (components == 3 && space == "RGB ") ||
         (components == 4 && space == "CMYK");
}

}  // namespace vellumox
