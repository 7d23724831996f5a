#include "images/lossless_picture.h"

#include <zlib.h>

#include <array>
#include <cstdlib>
#include <vector>

#include "platform/file_handle.h"

namespace vellumox {

namespace {

// Pictures are deflated once: the smallest stream is worth the time.
constexpr int kPictureLevel = 9;
constexpr size_t kOutputChunk = 1 << 16;

uint8_t Paeth(int a, int b, int c) {
  const int p = a + b - c;
  const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
  if (pa <= pb && pa <= pc) return static_cast<uint8_t>(a);
  return static_cast<uint8_t>(pb <= pc ? b : c);
}

}  // namespace

void FilterRow(const uint8_t* row, const uint8_t* previous, size_t size, int bpp,
               std::string& out) {
  std::array<std::string, 5> candidates;
  uint64_t best_sum = UINT64_MAX;
  int best = 0;
  for (int filter = 0; filter < 5; ++filter) {
    std::string& f = candidates[static_cast<size_t>(filter)];
    f.resize(size);
    uint64_t sum = 0;
    for (size_t i = 0; i < size; ++i) {
      const int a = i >= static_cast<size_t>(bpp) ? row[i - static_cast<size_t>(bpp)] : 0;
      const int b = previous[i];
      const int c = i >= static_cast<size_t>(bpp) ? previous[i - static_cast<size_t>(bpp)] : 0;
      int predicted = 0;
      switch (filter) {
        case 1:
          predicted = a;
          break;
        case 2:
          predicted = b;
          break;
        case 3:
          predicted = (a + b) / 2;
          break;
        case 4:
          predicted = Paeth(a, b, c);
          break;
        default:
          break;
      }
      const auto value = static_cast<uint8_t>(row[i] - predicted);
      f[i] = static_cast<char>(value);
      sum += static_cast<uint64_t>(std::abs(static_cast<int8_t>(value)));
    }
    if (sum < best_sum) {
      best_sum = sum;
      best = filter;
    }
  }
  out.assign(1, static_cast<char>(best));
  out += candidates[static_cast<size_t>(best)];
}

bool WriteLosslessPicture(PixelRows& rows, const std::string& path, std::string* error,
                          int* write_error) {
  auto fail = [&](const std::string& why, int number = 0) {
    if (error) *error = why;
    if (write_error) *write_error = number;
    return false;
  };
  FileHandle file = FileHandle::CreateOrTruncate(path);
  if (!file.IsOpen()) return fail("the converted picture cannot be written", file.Error());
  z_stream z{};
  if (deflateInit(&z, kPictureLevel) != Z_OK)
    return fail("there is not enough memory to compress it");
  const size_t size = static_cast<size_t>(rows.width()) * static_cast<size_t>(rows.channels());
  std::vector<uint8_t> row(size), previous(size, 0);
  std::string filtered;
  std::vector<unsigned char> out(kOutputChunk);
  bool ok = true;
  auto pump = [&](int flush) {
    do {
      z.next_out = out.data();
      z.avail_out = static_cast<uInt>(out.size());
      const int result = deflate(&z, flush);
      if (result == Z_STREAM_ERROR) return false;
      const size_t produced = out.size() - z.avail_out;
      if (produced > 0 && !file.WriteAll(out.data(), produced)) return false;
    } while (z.avail_out == 0);
    return true;
  };
  for (int y = 0; y < rows.height() && ok; ++y) {
    if (!rows.NextRow(row.data())) {
      deflateEnd(&z);
      return fail(rows.error().empty() ? "the picture cannot be decoded" : rows.error());
    }
    FilterRow(row.data(), previous.data(), size, rows.channels(), filtered);
    z.next_in = reinterpret_cast<Bytef*>(filtered.data());
    z.avail_in = static_cast<uInt>(filtered.size());
    ok = pump(Z_NO_FLUSH);
    row.swap(previous);
  }
  if (ok) {
    z.next_in = nullptr;
    z.avail_in = 0;
    ok = pump(Z_FINISH);
  }
  deflateEnd(&z);
  if (!ok || !file.Close()) return fail("the converted picture cannot be written", file.Error());
  return true;
}

}  // namespace vellumox
