#include <cstring>

#include "images/decoders.h"

namespace vellumox {

BufferedRows::BufferedRows(int width, int height, int channels)
    : stride_(static_cast<size_t>(width) * channels) {
  width_ = width;
  height_ = height;
  channels_ = channels;
  pixels_.resize(stride_ * static_cast<size_t>(height));
}

bool BufferedRows::NextRow(uint8_t* row) {
  if (next_ >= height_) return false;
  std::memcpy(row, Row(next_++), stride_);
  return true;
}

std::unique_ptr<PixelRows> Upright(std::unique_ptr<PixelRows> rows, int orientation,
                                   std::string* error) {
  if (!rows || orientation < 2 || orientation > 8) return rows;
  rows = Flattened(std::move(rows));  // only JPEGs carry an orientation, and they are plain
  const int w = rows->width(), h = rows->height(), channels = rows->channels();
  BufferedRows stored(w, h, channels);
  for (int y = 0; y < h; ++y) {
    if (!rows->NextRow(stored.Row(y))) {
      if (error) *error = rows->error();
      return nullptr;
    }
  }
  const bool turned = orientation >= 5;  // the sides trade places
  auto upright = std::make_unique<BufferedRows>(turned ? h : w, turned ? w : h, channels);
  for (int Y = 0; Y < upright->height(); ++Y) {
    uint8_t* out = upright->Row(Y);
    for (int X = 0; X < upright->width(); ++X) {
      // The stored pixel that shows at (X, Y) of the upright picture.
      int x = X, y = Y;
      switch (orientation) {
        case 2:
          x = w - 1 - X;
          break;
        case 3:
          x = w - 1 - X;
          y = h - 1 - Y;
          break;
        case 4:
          y = h - 1 - Y;
          break;
        case 5:
          x = Y;
          y = X;
          break;
        case 6:
          x = Y;
          y = h - 1 - X;
          break;
        case 7:
          x = w - 1 - Y;
          y = h - 1 - X;
          break;
        case 8:
          x = w - 1 - Y;
          y = X;
          break;
        default:
          break;
      }
      std::memcpy(out + static_cast<size_t>(X) * channels,
                  stored.Row(y) + static_cast<size_t>(x) * channels, static_cast<size_t>(channels));
    }
  }
  return upright;
}

}  // namespace vellumox
