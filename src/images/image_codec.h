// The picture codec of the converter: reads the accepted formats and writes baseline JPEG.
// The core uses pictures only through this interface.
#pragma once

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

// A decoded picture, handed out row by row: 8-bit grey (1 channel) or RGB (3 channels), with
// transparent parts on white. Large pictures of some formats are decoded as they are read, so
// memory does not grow with the picture's height.
class PixelRows {
 public:
  virtual ~PixelRows() = default;
  int width() const { return width_; }
  int height() const { return height_; }
  int channels() const { return channels_; }
  // Fills row with the next row's width x channels bytes; false on a decoding error.
  virtual bool NextRow(uint8_t* row) = 0;
  const std::string& error() const { return error_; }

 protected:
  int width_ = 0;
  int height_ = 0;
  int channels_ = 3;
  std::string error_;
};

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
