#include "images/jpeg_conversion.h"

#include "images/image_header.h"
#include "platform/file_system.h"
#include "writer/path_names.h"

namespace vellumox {

JpegFile ConvertToJpeg(const std::string& path, ImageCodec& codec, const JpegOptions& options,
                       const std::string& jpeg_path, const std::string& temp_folder) {
  JpegFile result;
  if (!FileExists(path)) {
    result.error = "the file is missing or empty";
    return result;
  }
  const ImageFormat format = SniffImageFile(path);
  if (format == ImageFormat::kUnknown || !codec.CanRead(format)) {
    result.error = "not a picture in a format that can be read";
    return result;
  }
  JpegFrame frame;
  if (options.keep_jpeg && EndsWithIgnoreCase(path, ".jpg") && format == ImageFormat::kJpeg &&
      IsEmbeddableJpeg(path, &frame)) {
    result.ok = true;
    result.path = path;
    result.width = frame.width;
    result.height = frame.height;
    return result;
  }
  std::unique_ptr<PixelRows> rows = codec.Decode(path, format, temp_folder, &result.error);
  if (!rows) return result;
  if (!codec.EncodeJpeg(*rows, jpeg_path, options.quality, &result.error)) {
    RemoveFile(jpeg_path);
    return result;
  }
  result.ok = true;
  result.path = jpeg_path;
  result.width = rows->width();
  result.height = rows->height();
  return result;
}

}  // namespace vellumox
