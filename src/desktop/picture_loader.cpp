#include "desktop/picture_loader.h"

#include <algorithm>
#include <vector>

#include "images/jpeg_conversion.h"
#include "images/picture_formats.h"
#include "platform/private_folder.h"

namespace vellumox {

QImage LoadPicture(ImageCodec& codec, const std::string& path, int max_side) {
  const ImageFormat format = SniffImageFile(path);
  if (format == ImageFormat::kUnknown || !codec.CanRead(format)) return QImage();
  PrivateFolder temp;
  const std::string& folder = temp.Path();
  if (folder.empty()) return QImage();
  std::string error;
  // Transparent parts on white, as a PDF below the best quality holds them.
  std::unique_ptr<PixelRows> rows =
      Flattened(DecodeUpright(path, format, codec, folder, &error), kWhite8);
  if (!rows || rows->width() < 1 || rows->height() < 1) return QImage();
  const int step = std::max(1, (std::max(rows->width(), rows->height()) + max_side - 1) / max_side);
  const int width = std::max(1, rows->width() / step);
  const int height = std::max(1, rows->height() / step);
  const int channels = rows->channels();
  QImage image(width, height, channels == 1 ? QImage::Format_Grayscale8 : QImage::Format_RGB888);
  std::vector<uint8_t> row(static_cast<size_t>(rows->width()) * channels);
  for (int y = 0; y < rows->height(); ++y) {
    if (!rows->NextRow(row.data())) return QImage();
    if (y % step != 0 || y / step >= height) continue;
    uchar* out = image.scanLine(y / step);
    for (int x = 0; x < width; ++x) {
      const uint8_t* in = row.data() + static_cast<size_t>(x) * step * channels;
      std::copy(in, in + channels, out + static_cast<size_t>(x) * channels);
    }
  }
  return image;
}

QPixmap FittedPixmap(const QImage& picture, QSize frame) {
  if (picture.isNull() || frame.isEmpty()) return QPixmap();
  const QSize size = picture.size().scaled(frame, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
  return QPixmap::fromImage(picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}

}  // namespace vellumox
