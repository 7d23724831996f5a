// The decoders and the encoder behind the library image codec; one file each.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "images/image_codec.h"

namespace vellumox {

// JPEG through libjpeg-turbo, row by row; CMYK pictures come out as RGB.
std::unique_ptr<PixelRows> OpenJpegRows(const std::string& path, std::string* error);
// A baseline JPEG through libjpeg-turbo; chroma is not subsampled from quality 90 up. When the
// file cannot be written, *write_error is the system's error number.
bool WriteJpegFile(PixelRows& rows, const std::string& path, int quality, std::string* error,
                   int* write_error = nullptr);

// PNG through libpng, row by row unless the picture is interlaced.
std::unique_ptr<PixelRows> OpenPngRows(const std::string& path, std::string* error);
std::optional<PixelSize> ReadPngSize(const std::string& path);

// The other raster formats and WMF through ImageMagick, with the coder named explicitly.
std::unique_ptr<PixelRows> OpenMagickRows(const std::string& path, ImageFormat format,
                                          std::string* error);
std::optional<PixelSize> PingMagickSize(const std::string& path, ImageFormat format,
                                        std::string* error);
bool MagickCanRead(ImageFormat format);
// Sets the library's resource limits, once per process.
void InitializeMagickLibrary();

// EMF through the emf2svg-conv helper and librsvg.
std::unique_ptr<PixelRows> OpenEmfRows(const std::string& path, const std::string& temp_folder,
                                       std::string* error);
bool EmfConverterAvailable();

// Rows that are already in memory, for decoders that need the whole picture at once.
class BufferedRows : public PixelRows {
 public:
  BufferedRows(int width, int height, int channels);
  uint8_t* Row(int y) { return pixels_.data() + static_cast<size_t>(y) * stride_; }
  bool NextRow(uint8_t* row) override;

 private:
  std::vector<uint8_t> pixels_;
  size_t stride_;
  int next_ = 0;
};

// The picture stood upright as an EXIF orientation (2 to 8) asks: turned and mirrored, held in
// memory; 1 and anything else give the rows back as they are.
std::unique_ptr<PixelRows> Upright(std::unique_ptr<PixelRows> rows, int orientation,
                                   std::string* error);

}  // namespace vellumox
