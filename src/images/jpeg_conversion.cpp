#include "images/jpeg_conversion.h"

#include "images/decoders.h"
#include "images/image_header.h"
#include "images/lossless_picture.h"
#include "images/png_stream.h"
#include "platform/file_system.h"
#include "writer/path_names.h"

namespace vellumox {

namespace {

// "a JPEG", "a PNG", ...: the type that a picture's name promises.
std::string TypeOfName(const std::string& path) {
  const PictureType* type = PictureTypeOfName(path);
  return type ? std::string(type->promise) : "a picture";
}

}  // namespace

std::unique_ptr<PixelRows> DecodeUpright(const std::string& path, ImageFormat format,
                                         int orientation, ImageCodec& codec,
                                         const std::string& temp_folder, std::string* error) {
  return Upright(codec.Decode(path, format, temp_folder, error), orientation, error);
}

std::unique_ptr<PixelRows> DecodeUpright(const std::string& path, ImageFormat format,
                                         ImageCodec& codec, const std::string& temp_folder,
                                         std::string* error) {
  const int orientation = format == ImageFormat::kJpeg ? ReadExifOrientation(path) : 0;
  return DecodeUpright(path, format, orientation, codec, temp_folder, error);
}

std::string WhyNotConvertible(const std::string& path, const ImageCodec& codec) {
  if (!FileExists(path)) {
    const FileType type = TypeOf(path);
    return type == FileType::kNone      ? "no such file"
           : type == FileType::kRegular ? "the file is empty"
                                        : "not a regular file";
  }
  const ImageFormat format = SniffImageFile(path);
  if (format == ImageFormat::kUnknown) return "not " + TypeOfName(path) + " file";
  if (!codec.CanRead(format)) {
    if (!codec.WhyUnreadable().empty()) return codec.WhyUnreadable();
    return std::string(FormatName(format)) + " pictures cannot be read here";
  }
  return std::string();
}

JpegFile ConvertToJpeg(const std::string& path, ImageCodec& codec, const JpegOptions& options,
                       const std::string& jpeg_path, const std::string& temp_folder) {
  JpegFile result;
  result.error = WhyNotConvertible(path, codec);
  if (!result.error.empty()) return result;
  const ImageFormat format = SniffImageFile(path);
  std::optional<JpegTraits> jpeg;
  if (format == ImageFormat::kJpeg) jpeg = ReadJpegTraits(path);
  const int orientation = jpeg ? jpeg->orientation : 0;
  // The best quality is the picture's own: a JPEG decoded and encoded again only grows and
  // loses detail.
  const PictureType* type = PictureTypeOfName(path);
  const bool keep =
      options.quality >= 100 || (options.keep_jpeg && type && type->format == ImageFormat::kJpeg);
  if (keep && jpeg && CanEmbedAsItIs(*jpeg)) {
    result.ok = true;
    result.path = path;
    result.width = jpeg->frame.width;
    result.height = jpeg->frame.height;
    result.components = jpeg->frame.components;
    result.inverted = result.components == 4 && jpeg->adobe;
    result.orientation = orientation >= 1 ? orientation : 1;
    if (IccProfileFitsPdf13(jpeg->icc_profile, result.components)) {
      result.icc_profile = std::move(jpeg->icc_profile);
    }
    return result;
  }
  // The best quality keeps every pixel of a picture that was not a JPEG already.
  const bool lossless = options.quality >= 100 && format != ImageFormat::kJpeg;
  const std::string base = jpeg_path.substr(0, jpeg_path.rfind('.'));
  const std::string out_path = lossless ? base + ".zlib" : jpeg_path;
  auto take_lossless = [&](LosslessPicture& picture) {
    result.ok = true;
    result.lossless = true;
    result.path = out_path;
    result.width = picture.width;
    result.height = picture.height;
    result.components = picture.components;
    result.form = std::move(picture.form);
    result.composed = picture.composed;
    return result;
  };
  if (lossless && format == ImageFormat::kPng) {
    LosslessPicture picture;
    switch (CopyPngStream(path, out_path, &picture, &result.error, &result.write_error)) {
      case PngStreamCopy::kCopied:
        return take_lossless(picture);
      case PngStreamCopy::kWriteFailed:
        return result;
      case PngStreamCopy::kNotSuitable:
        break;
    }
  }
  std::unique_ptr<PixelRows> rows =
      DecodeUpright(path, format, orientation, codec, temp_folder, &result.error);
  if (!rows) return result;
  if (lossless) {
    LosslessPicture picture;
    if (!WriteLosslessPicture(*rows, options.page_color, out_path, base + ".mask", &picture,
                              &result.error, &result.write_error)) {
      return result;
    }
    return take_lossless(picture);
  }
  // A JPEG has no transparency: it goes onto white.
  rows = Flattened(std::move(rows), kWhite8);
  if (!codec.EncodeJpeg(*rows, out_path, options.quality, &result.error, &result.write_error)) {
    RemoveFile(out_path);
    return result;
  }
  result.ok = true;
  result.path = out_path;
  result.width = rows->width();
  result.height = rows->height();
  result.components = rows->channels() == 1 ? 1 : 3;
  return result;
}

}  // namespace vellumox
