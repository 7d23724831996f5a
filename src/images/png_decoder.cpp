// PNG decoding through libpng: row by row, except interlaced pictures, which are read whole.
// libpng reports errors by longjmp; the functions that call it keep no C++ object alive across.
#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

#include "images/decoders.h"

namespace vellumox {

namespace {

// Interlaced pictures are held whole; they may not be larger than this.
constexpr int64_t kMaxInterlacedPixels = int64_t{64} << 20;

struct PngErrors {
  char message[200];
};

void PngError(png_structp png, png_const_charp message) {
  auto* errors = static_cast<PngErrors*>(png_get_error_ptr(png));
  std::snprintf(errors->message, sizeof errors->message, "%s", message);
  png_longjmp(png, 1);
}

void PngWarning(png_structp, png_const_charp) {}

class PngRows : public PixelRows {
 public:
  ~PngRows() override {
    if (png_) png_destroy_read_struct(&png_, &info_, nullptr);
    if (file_) std::fclose(file_);
  }

  bool Open(const std::string& path) {
    file_ = std::fopen(path.c_str(), "rb");
    if (!file_) {
      error_ = "cannot open the file";
      return false;
    }
    png_ = png_create_read_struct(PNG_LIBPNG_VER_STRING, &errors_, PngError, PngWarning);
    if (!png_) return false;
    info_ = png_create_info_struct(png_);
    if (!info_) return false;
    if (setjmp(png_jmpbuf(png_))) {
      error_ = errors_.message;
      return false;
    }
    png_init_io(png_, file_);
    png_set_user_limits(png_, ImageCodec::kMaxSide, ImageCodec::kMaxSide);
    png_read_info(png_, info_);
    png_uint_32 width = png_get_image_width(png_, info_);
    png_uint_32 height = png_get_image_height(png_, info_);
    if (static_cast<int64_t>(width) * height > ImageCodec::kMaxPixels) {
      error_ = "the picture is too large";
      return false;
    }
    const int color_type = png_get_color_type(png_, info_);
    const int bit_depth = png_get_bit_depth(png_, info_);
    const bool keyed = png_get_valid(png_, info_, PNG_INFO_tRNS) != 0;
    // 16 bits become 8 by scaling (rounded), as every tool reduces them, not by cutting.
    png_set_scale_16(png_);
    // Palette indexes and grey samples of fewer bits are read a byte each.
    png_set_packing(png_);
    std::string palette, palette_alpha;
    if (color_type == PNG_COLOR_TYPE_PALETTE) {
      png_colorp entries = nullptr;
      int count = 0;
      if (png_get_PLTE(png_, info_, &entries, &count) == 0 || count < 1) {
        error_ = "the palette is missing";
        return false;
      }
      for (int i = 0; i < count; ++i) {
        palette += static_cast<char>(entries[i].red);
        palette += static_cast<char>(entries[i].green);
        palette += static_cast<char>(entries[i].blue);
      }
      png_bytep alpha = nullptr;
      int alphas = 0;
      if (keyed && png_get_tRNS(png_, info_, &alpha, &alphas, nullptr) != 0 && alpha) {
        palette_alpha.assign(reinterpret_cast<const char*>(alpha),
                             static_cast<size_t>(std::min(alphas, count)));
      }
    } else {
      if (color_type == PNG_COLOR_TYPE_GRAY) png_set_expand_gray_1_2_4_to_8(png_);
      // The one transparent grey or colour becomes an alpha of 0 (and 255 elsewhere).
      if (keyed) png_set_tRNS_to_alpha(png_);
    }
    passes_ = png_set_interlace_handling(png_);
    png_read_update_info(png_, info_);
    width_ = static_cast<int>(width);
    height_ = static_cast<int>(height);
    if (!palette.empty()) {
      SetPalette(std::move(palette), std::move(palette_alpha));
    } else {
      const int channels = png_get_channels(png_, info_);
      channels_ = channels <= 2 ? 1 : 3;
      alpha_ = channels == 2 || channels == 4;
      bits_ = color_type == PNG_COLOR_TYPE_GRAY && bit_depth == 1 && !keyed ? 1 : 8;
    }
    if (png_get_rowbytes(png_, info_) != RowBytes()) {
      error_ = "the picture's rows are not of the expected size";
      return false;
    }
    row_.resize(png_get_rowbytes(png_, info_));
    if (passes_ > 1) {
      if (static_cast<int64_t>(width) * height > kMaxInterlacedPixels) {
        error_ = "the interlaced picture is too large";
        return false;
      }
      whole_.resize(row_.size() * height);
      rows_.resize(height);
      for (png_uint_32 y = 0; y < height; ++y) rows_[y] = whole_.data() + y * row_.size();
      png_read_image(png_, rows_.data());
    }
    return true;
  }

  bool NextRow(uint8_t* out) override {
    if (next_ >= height_) return false;
    const uint8_t* source;
    if (passes_ > 1) {
      source = rows_[static_cast<size_t>(next_)];
    } else {
      if (setjmp(png_jmpbuf(png_))) {
        error_ = errors_.message;
        return false;
      }
      png_read_row(png_, row_.data(), nullptr);
      source = row_.data();
    }
    ++next_;
    std::memcpy(out, source, row_.size());
    return true;
  }

 private:
  FILE* file_ = nullptr;
  png_structp png_ = nullptr;
  png_infop info_ = nullptr;
  PngErrors errors_{};
  int passes_ = 1;
  int next_ = 0;
  std::vector<uint8_t> row_;
  std::vector<uint8_t> whole_;
  std::vector<uint8_t*> rows_;
};

}  // namespace

std::unique_ptr<PixelRows> OpenPngRows(const std::string& path, std::string* error) {
  auto rows = std::make_unique<PngRows>();
  if (!rows->Open(path)) {
    if (error) *error = rows->error().empty() ? "not a readable PNG file" : rows->error();
    return nullptr;
  }
  return rows;
}

std::optional<PixelSize> ReadPngSize(const std::string& path) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return std::nullopt;
  unsigned char head[24];
  size_t n = std::fread(head, 1, sizeof head, file);
  std::fclose(file);
  if (n < 24 || std::memcmp(head, "\x89PNG\r\n\x1A\n", 8) != 0 ||
      std::memcmp(head + 12, "IHDR", 4) != 0) {
    return std::nullopt;
  }
  auto big_endian = [&](int at) {
    return static_cast<int64_t>(head[at]) << 24 | head[at + 1] << 16 | head[at + 2] << 8 |
           head[at + 3];
  };
  int64_t width = big_endian(16), height = big_endian(20);
  if (width <= 0 || height <= 0 || width > ImageCodec::kMaxSide || height > ImageCodec::kMaxSide) {
    return std::nullopt;
  }
  return PixelSize{static_cast<int>(width), static_cast<int>(height)};
}

}  // namespace vellumox
