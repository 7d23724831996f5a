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

}  // namespace vellumox
