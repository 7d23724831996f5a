// The picture codec of the converter: reads the accepted formats and writes baseline JPEG.
// The core uses pictures only through this interface.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "images/picture_formats.h"

namespace vellumox {

struct PixelSize {
  int width = 0;
  int height = 0;
};

// A decoded picture, handed out row by row, in the form its file keeps it:
// - 8-bit grey (1 channel) or RGB (3 channels), channels bytes a pixel;
// - the same with alpha: each pixel's colour followed by its alpha, 0 (clear) to 255 (opaque);
// - indexed: one byte a pixel, an entry of the palette (red, green, blue an entry), whose
//   entries may carry an alpha of their own.
// Flattened() turns any of them into plain grey or RGB. Large pictures of some formats are
// decoded as they are read, so memory does not grow with the picture's height.
class PixelRows {
 public:
  virtual ~PixelRows() = default;
  int width() const { return width_; }
  int height() const { return height_; }
  // Colour channels: 1 grey, 3 RGB; an indexed picture's is that of its flattened rows (1 when
  // every entry of its palette is grey).
  int channels() const { return channels_; }
  bool alpha() const { return alpha_; }
  bool indexed() const { return !palette_.empty(); }
  // Three bytes an entry; empty for a picture that is not indexed.
  const std::string& palette() const { return palette_; }
  // The alpha of each palette entry; entries beyond its end are opaque.
  const std::string& palette_alpha() const { return palette_alpha_; }
  // 1 for a grey picture without alpha whose every sample is 0 or 255 (black and white), else 8.
  int bits() const { return bits_; }
  // The bytes of one row.
  size_t RowBytes() const {
    const size_t per_pixel = indexed() ? 1 : static_cast<size_t>(channels_ + (alpha_ ? 1 : 0));
    return static_cast<size_t>(width_) * per_pixel;
  }
  // Plain grey or RGB: no alpha, no palette.
  bool Plain() const { return !alpha_ && palette_.empty(); }
  // Fills row with the next row's RowBytes() bytes; false on a decoding error.
  virtual bool NextRow(uint8_t* row) = 0;
  const std::string& error() const { return error_; }

 protected:
  int width_ = 0;
  int height_ = 0;
  int channels_ = 3;
  bool alpha_ = false;
  int bits_ = 8;
  std::string palette_;
  std::string palette_alpha_;
  std::string error_;

  // Makes the rows indexed with this palette (three bytes an entry) and its entries' alpha.
  void SetPalette(std::string palette, std::string palette_alpha);
};

// A colour as red, green and blue bytes.
using Rgb8 = std::array<uint8_t, 3>;
inline constexpr Rgb8 kWhite8 = {255, 255, 255};

// A sample of alpha 0 to 255 composed onto a background sample: alpha 0 gives the background,
// 255 the sample, exactly.
inline uint8_t Composed(unsigned value, unsigned alpha, unsigned background) {
  return static_cast<uint8_t>((value * alpha + background * (255 - alpha) + 127) / 255);
}

inline bool IsGrey(Rgb8 color) {
  return color[0] == color[1] && color[1] == color[2];
}
// Whether every colour of these red, green, blue triples is grey.
bool AllGrey(const std::string& rgb);
// The palette of indexed rows (three bytes an entry), each entry composed onto background by its
// alpha.
std::string ComposedPalette(const PixelRows& rows, Rgb8 background);

// The rows as plain grey or RGB, their transparency composed onto background (a grey picture
// onto a colour that is not grey becomes RGB); plain rows are handed back as they are.
std::unique_ptr<PixelRows> Flattened(std::unique_ptr<PixelRows> rows, Rgb8 background = kWhite8);

class ImageCodec {
 public:
  // The most pixels a picture may have; a header that claims more is refused before decoding.
  static constexpr int64_t kMaxPixels = int64_t{1} << 28;  // 268 million
  static constexpr int kMaxSide = 65500;                   // the most that JPEG can hold

  virtual ~ImageCodec() = default;
  // Whether the installed libraries read this format (asked once, when first needed).
  virtual bool CanRead(ImageFormat format) const = 0;
  // Why the formats of the outside decoders cannot be read at all (their helper cannot be
  // asked), after CanRead said no; empty when the libraries simply lack a format.
  virtual std::string WhyUnreadable() const { return std::string(); }
  // The picture's size in pixels from its header (metafiles at 96 dots per inch).
  virtual std::optional<PixelSize> ReadSize(const std::string& path, ImageFormat format,
                                            std::string* error) = 0;
  // Decodes the picture; nullptr with a reason on failure. temp_folder is a private folder for
  // any intermediate files.
  virtual std::unique_ptr<PixelRows> Decode(const std::string& path, ImageFormat format,
                                            const std::string& temp_folder, std::string* error) = 0;
  // Writes the rows as a baseline JPEG at quality 1 to 100. When the file cannot be written
  // (a full disk), *write_error is the system's error number.
  virtual bool EncodeJpeg(PixelRows& rows, const std::string& path, int quality, std::string* error,
                          int* write_error = nullptr) = 0;

  // The formats that CanRead accepts, for reports.
  std::vector<ImageFormat> ReadableFormats() const;
  // The five formats of the extra component: TIF, PNG, TGA, PCX and PSD all readable.
  bool HasImageComponent() const;
};

// The codec over the system's libraries: libjpeg-turbo and libpng for JPEG and PNG (decoded
// row by row), ImageMagick for the other raster formats and WMF, and emf2svg with librsvg for
// EMF. Creating it sets the image library's resource limits.
std::unique_ptr<ImageCodec> MakeLibraryImageCodec();

}  // namespace vellumox
