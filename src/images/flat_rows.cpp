// Pictures with a palette or alpha made plain grey or RGB, for the JPEG encoder and the windows.
#include <vector>

#include "images/image_codec.h"

namespace vellumox {

namespace {

class FlatRows : public PixelRows {
 public:
  FlatRows(std::unique_ptr<PixelRows> source, Rgb8 background)
      : source_(std::move(source)), background_(background), row_(source_->RowBytes()) {
    width_ = source_->width();
    height_ = source_->height();
    if (source_->indexed()) {
      // The palette composed once; each pixel is then a lookup.
      const std::string palette = ComposedPalette(*source_, background_);
      const size_t entries = palette.size() / 3;
      lookup_.assign(palette.begin(), palette.end());
      // An index beyond the palette shows its last entry, as a PDF reader shows it.
      lookup_.resize(256 * 3);
      for (size_t i = entries; i < 256 && entries > 0; ++i) {
        for (size_t c = 0; c < 3; ++c) lookup_[3 * i + c] = lookup_[3 * (entries - 1) + c];
      }
      channels_ = AllGrey(palette) ? 1 : 3;
    } else {
      channels_ = source_->channels() == 1 && IsGrey(background_) ? 1 : 3;
    }
  }

  bool NextRow(uint8_t* out) override {
    if (!source_->NextRow(row_.data())) {
      error_ = source_->error();
      return false;
    }
    const uint8_t* in = row_.data();
    const size_t width = static_cast<size_t>(width_);
    if (source_->indexed()) {
      for (size_t x = 0; x < width; ++x) {
        const uint8_t* color = &lookup_[3 * size_t{in[x]}];
        if (channels_ == 1) {
          out[x] = color[0];
        } else {
          out[3 * x] = color[0];
          out[3 * x + 1] = color[1];
          out[3 * x + 2] = color[2];
        }
      }
      return true;
    }
    const size_t step = static_cast<size_t>(source_->channels()) + 1;
    for (size_t x = 0; x < width; ++x) {
      const uint8_t* p = in + x * step;
      const unsigned a = p[step - 1];
      for (size_t c = 0; c < static_cast<size_t>(channels_); ++c) {
        const uint8_t value = source_->channels() == 1 ? p[0] : p[c];
        out[x * static_cast<size_t>(channels_) + c] = Composed(value, a, background_[c]);
      }
    }
    return true;
  }

 private:
  std::unique_ptr<PixelRows> source_;
  Rgb8 background_;
  std::vector<uint8_t> row_;
  std::vector<uint8_t> lookup_;
};

}  // namespace

void PixelRows::SetPalette(std::string palette, std::string palette_alpha) {
  palette_ = std::move(palette);
  palette_alpha_ = std::move(palette_alpha);
  alpha_ = false;
  bits_ = 8;
  channels_ = AllGrey(palette_) ? 1 : 3;
}

bool AllGrey(const std::string& rgb) {
  for (size_t i = 0; i + 2 < rgb.size(); i += 3) {
    if (rgb[i] != rgb[i + 1] || rgb[i + 1] != rgb[i + 2]) return false;
  }
  return true;
}

std::string ComposedPalette(const PixelRows& rows, Rgb8 background) {
  const std::string& palette = rows.palette();
  const std::string& alpha = rows.palette_alpha();
  std::string composed(palette.size() / 3 * 3, '\0');
  for (size_t i = 0; i < composed.size(); ++i) {
    const unsigned a = i / 3 < alpha.size() ? static_cast<uint8_t>(alpha[i / 3]) : 255;
    composed[i] =
        static_cast<char>(Composed(static_cast<uint8_t>(palette[i]), a, background[i % 3]));
  }
  return composed;
}

std::unique_ptr<PixelRows> Flattened(std::unique_ptr<PixelRows> rows, Rgb8 background) {
  if (!rows || rows->Plain()) return rows;
  return std::make_unique<FlatRows>(std::move(rows), background);
}

}  // namespace vellumox
