#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <mutex>

#include "images/decode_helper.h"
#include "images/decoders.h"
#include "images/image_codec.h"
#include "images/image_header.h"

namespace vellumox {

namespace {

ImageFormat FormatAt(int n) {
  return static_cast<ImageFormat>(n);
}

bool SizeAllowed(const PixelSize& size) {
  return size.width > 0 && size.height > 0 && size.width <= ImageCodec::kMaxSide &&
         size.height <= ImageCodec::kMaxSide &&
         static_cast<int64_t>(size.width) * size.height <= ImageCodec::kMaxPixels;
}

class LibraryImageCodec : public ImageCodec {
 public:
  bool CanRead(ImageFormat format) const override {
    if (format == ImageFormat::kUnknown) return false;
    switch (DecoderOf(format)) {
      case PictureDecoder::kLibjpeg:
      case PictureDecoder::kLibpng:
        return true;  // linked in
      default:
        break;
    }
    // The other formats are read by the helper, which is asked once, when first needed, so
    // that a run with JPEG and PNG pictures only, or none, never starts it.
    std::call_once(probed_, [this] {
      if (std::optional<std::vector<ImageFormat>> formats = HelperReadableFormats(&unreadable_)) {
        for (ImageFormat f : *formats) readable_[static_cast<size_t>(f)] = true;
      }
    });
    return readable_[static_cast<size_t>(format)];
  }

  std::string WhyUnreadable() const override { return unreadable_; }

  std::optional<PixelSize> ReadSize(const std::string& path, ImageFormat format,
                                    std::string* error) override {
    if (!CanRead(format)) {
      if (error) *error = "this format cannot be read here";
      return std::nullopt;
    }
    std::optional<PixelSize> size;
    switch (DecoderOf(format)) {
      case PictureDecoder::kLibjpeg:
        if (auto frame = ReadJpegFrame(path)) size = PixelSize{frame->width, frame->height};
        break;
      case PictureDecoder::kLibpng:
        size = ReadPngSize(path);
        break;
      case PictureDecoder::kEmfConverter:
        size = ReadEmfSize(path);  // a fixed header of 88 bytes, read here
        break;
      case PictureDecoder::kImageMagick:
        size = HelperReadSize(path, format, error);
        break;
    }
    if (size && !SizeAllowed(*size)) {
      if (error) *error = "the picture is too large";
      return std::nullopt;
    }
    if (!size && error && error->empty()) *error = "the header cannot be read";
    return size;
  }

  std::unique_ptr<PixelRows> Decode(const std::string& path, ImageFormat format,
                                    const std::string& temp_folder, std::string* error) override {
    // The header first: a picture that claims an absurd size is refused before any decoding.
    if (!ReadSize(path, format, error)) return nullptr;
    switch (DecoderOf(format)) {
      case PictureDecoder::kLibjpeg:
        return OpenJpegRows(path, error);
      case PictureDecoder::kLibpng:
        return OpenPngRows(path, error);
      default:
        // The outside decoders run in the helper process.
        return HelperDecode(path, format, temp_folder, error);
    }
  }

  bool EncodeJpeg(PixelRows& rows, const std::string& path, int quality, std::string* error,
                  int* write_error) override {
    return WriteJpegFile(rows, path, quality, error, write_error);
  }

 private:
  mutable std::once_flag probed_;
  mutable std::array<bool, kImageFormatCount + 1> readable_{};
  mutable std::string unreadable_;  // why the helper could not be asked
};

}  // namespace

std::vector<ImageFormat> ImageCodec::ReadableFormats() const {
  std::vector<ImageFormat> formats;
  for (int n = 1; n <= kImageFormatCount; ++n) {
    if (CanRead(FormatAt(n))) formats.push_back(FormatAt(n));
  }
  return formats;
}

bool ImageCodec::HasImageComponent() const {
  for (std::string_view extension : OptionalTypeOrder()) {
    if (!CanRead(PictureTypeOf(extension).format)) return false;
  }
  return true;
}

std::unique_ptr<ImageCodec> MakeLibraryImageCodec() {
  return std::make_unique<LibraryImageCodec>();
}

}  // namespace vellumox
