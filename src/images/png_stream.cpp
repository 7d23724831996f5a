#include "images/png_stream.h"

#include <zlib.h>

#include <cstring>
#include <optional>
#include <vector>

#include "platform/file_handle.h"
#include "platform/file_system.h"

namespace vellumox {

namespace {

constexpr size_t kChunk = 1 << 16;
// A PNG in more IDAT pieces than this is decoded instead: the list of them stays small.
constexpr size_t kMostPieces = 1 << 16;

uint32_t BigEndian(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 |
         static_cast<uint32_t>(p[2]) << 8 | p[3];
}

struct PngLayout {
  uint32_t width = 0, height = 0;
  int depth = 0, color_type = 0;
  std::string palette;
  std::vector<std::pair<int64_t, uint32_t>> idat;  // offset and length of each IDAT's data
  int64_t idat_bytes = 0;
};

// The chunks of a PNG up to IEND; nothing when it cannot go into a PDF as it is.
std::optional<PngLayout> ReadLayout(FileHandle& file) {
  uint8_t head[33];
  if (file.ReadAt(head, sizeof head, 0) != sizeof head ||
      std::memcmp(head, "\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR", 16) != 0) {
    return std::nullopt;
  }
  PngLayout png;
  png.width = BigEndian(head + 16);
  png.height = BigEndian(head + 20);
  png.depth = head[24];
  png.color_type = head[25];
  const bool interlaced = head[28] != 0;
  const bool suitable = !interlaced && ((png.color_type == 0 && png.depth <= 8) ||
                                        (png.color_type == 2 && png.depth == 8) ||
                                        (png.color_type == 3 && png.depth <= 8));
  if (!suitable || png.width == 0 || png.height == 0) return std::nullopt;
  int64_t at = 33;
  for (;;) {
    uint8_t chunk[8];
    if (file.ReadAt(chunk, sizeof chunk, at) != sizeof chunk) return std::nullopt;
    const uint32_t length = BigEndian(chunk);
    if (length > 0x7FFFFFFF) return std::nullopt;
    const int64_t data = at + 8;
    if (std::memcmp(chunk + 4, "IEND", 4) == 0) break;
    if (std::memcmp(chunk + 4, "tRNS", 4) == 0) return std::nullopt;  // transparency: decode
    if (std::memcmp(chunk + 4, "IDAT", 4) == 0) {
      if (png.idat.size() >= kMostPieces) return std::nullopt;
      png.idat.emplace_back(data, length);
      png.idat_bytes += length;
    } else if (std::memcmp(chunk + 4, "PLTE", 4) == 0) {
      if (length % 3 != 0 || length == 0 || length > 768) return std::nullopt;
      png.palette.resize(length);
      if (file.ReadAt(png.palette.data(), length, data) != static_cast<int64_t>(length)) {
        return std::nullopt;
      }
    }
    at = data + length + 4;  // and the CRC
  }
  if (png.idat.empty() || (png.color_type == 3 && png.palette.empty())) return std::nullopt;
  return png;
}

}  // namespace

PngStreamCopy CopyPngStream(const std::string& png_path, const std::string& path,
                            LosslessPicture* picture, std::string* error, int* write_error) {
  FileHandle source = FileHandle::OpenForReading(png_path);
  if (!source.IsOpen()) return PngStreamCopy::kNotSuitable;
  const std::optional<PngLayout> png = ReadLayout(source);
  if (!png) return PngStreamCopy::kNotSuitable;
  const int samples = png->color_type == 2 ? 3 : 1;
  const uint64_t row_bytes = (uint64_t{png->width} * samples * png->depth + 7) / 8;
  const uint64_t raw = uint64_t{png->height} * (row_bytes + 1);
  // Rows that compress well are deflated again, smaller and quickly.
  if (static_cast<uint64_t>(png->idat_bytes) * 8 <= raw) return PngStreamCopy::kNotSuitable;

  FileHandle out = FileHandle::CreateOrTruncate(path);
  if (!out.IsOpen()) {
    *error = "the converted picture cannot be written";
    *write_error = out.Error();
    return PngStreamCopy::kWriteFailed;
  }
  z_stream z{};
  if (inflateInit(&z) != Z_OK) {
    RemoveFile(path);
    return PngStreamCopy::kNotSuitable;
  }
  std::vector<uint8_t> in(kChunk), rows(kChunk);
  uint64_t inflated = 0, next_filter = 0;
  bool sound = true, ended = false, written = true;
  for (const auto& [offset, length] : png->idat) {
    for (uint32_t done = 0; done < length && sound && written;) {
      const size_t want = std::min<size_t>(kChunk, length - done);
      if (source.ReadAt(in.data(), want, offset + done) != static_cast<int64_t>(want)) {
        sound = false;
        break;
      }
      done += static_cast<uint32_t>(want);
      written = out.WriteAll(in.data(), want);
      z.next_in = in.data();
      z.avail_in = static_cast<uInt>(want);
      while (z.avail_in > 0 && sound && !ended) {
        z.next_out = rows.data();
        z.avail_out = static_cast<uInt>(rows.size());
        const int result = inflate(&z, Z_NO_FLUSH);
        // Each row starts with its filter, which a reader takes only from 0 to 4.
        const uint64_t produced = rows.size() - z.avail_out;
        for (; next_filter < inflated + produced; next_filter += row_bytes + 1) {
          if (rows[next_filter - inflated] > 4) sound = false;
        }
        inflated += produced;
        if (inflated > raw) sound = false;  // more rows than the picture has: stop at once
        if (result == Z_STREAM_END) {
          ended = true;
        } else if (result != Z_OK) {
          sound = false;
        }
      }
    }
  }
  inflateEnd(&z);
  if (!written || !out.Close()) {
    *error = "the converted picture cannot be written";
    *write_error = out.Error();
    RemoveFile(path);
    return PngStreamCopy::kWriteFailed;
  }
  if (!sound || !ended || inflated != raw) {
    RemoveFile(path);
    return PngStreamCopy::kNotSuitable;
  }
  LosslessPicture result;
  result.width = static_cast<int>(png->width);
  result.height = static_cast<int>(png->height);
  result.form.bits = png->depth;
  result.components = samples;
  if (png->color_type == 3) result.form.palette = IndexedLookup(png->palette, &result.components);
  *picture = std::move(result);
  return PngStreamCopy::kCopied;
}

}  // namespace vellumox
