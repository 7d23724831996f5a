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

constexpr std::array kAllFormats = {ImageFormat::kJpeg, ImageFormat::kPng,  ImageFormat::kGif,
                                    ImageFormat::kBmp,  ImageFormat::kTiff, ImageFormat::kPsd,
                                    ImageFormat::kPcx,  ImageFormat::kIco,  ImageFormat::kTga,
                                    ImageFormat::kWmf,  ImageFormat::kEmf};

bool SizeAllowed(const PixelSize& size) {
  return size.width > 0 && size.height > 0 && size.width <= ImageCodec::kMaxSide &&
         size.height <= ImageCodec::kMaxSide &&
         static_cast<int64_t>(size.width) * size.height <= ImageCodec::kMaxPixels;
}

class LibraryImageCodec : public ImageCodec {
 public:
  bool CanRead(ImageFormat format) const override {
    switch (format) {
      case ImageFormat::kJpeg:
      case ImageFormat::kPng:
        return true;  // linked in
      case ImageFormat::kUnknown:
        return false;
      default:
        break;
    }
    // The other formats are asked of their libraries once, when first needed, so that a run
    // with JPEG pictures only never starts the image library.
    std::call_once(probed_, [this] {
      for (ImageFormat f : kAllFormats) {
        if (f == ImageFormat::kJpeg || f == ImageFormat::kPng) continue;
        readable_[static_cast<size_t>(f)] =
            f == ImageFormat::kEmf ? EmfConverterAvailable() : MagickCanRead(f);
      }
    });
    return readable_[static_cast<size_t>(format)];
  }

  std::optional<PixelSize> ReadSize(const std::string& path, ImageFormat format,
                                    std::string* error) override {
    if (!CanRead(format)) {
      if (error) *error = "this format cannot be read here";
      return std::nullopt;
    }
    std::optional<PixelSize> size;
    switch (format) {
      case ImageFormat::kJpeg:
        if (auto frame = ReadJpegFrame(path)) size = PixelSize{frame->width, frame->height};
        break;
      case ImageFormat::kPng:
        size = ReadPngSize(path);
        break;
      case ImageFormat::kEmf:
        size = ReadEmfSize(path);  // a fixed header of 88 bytes, read here
        break;
      default:
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
    switch (format) {
      case ImageFormat::kJpeg:
        return OpenJpegRows(path, error);
      case ImageFormat::kPng:
        return OpenPngRows(path, error);
      default:
        // The outside decoders run in the helper process.
        return HelperDecode(path, format, temp_folder, error);
    }
  }

  bool EncodeJpeg(PixelRows& rows, const std::string& path, int quality,
                  std::string* error) override {
    return WriteJpegFile(rows, path, quality, error);
  }

 private:
  mutable std::once_flag probed_;
  mutable std::array<bool, 12> readable_{};
};

}  // namespace

std::vector<ImageFormat> ImageCodec::ReadableFormats() const {
  std::vector<ImageFormat> formats;
  for (ImageFormat format : kAllFormats) {
    if (CanRead(format)) formats.push_back(format);
  }
  return formats;
}

bool ImageCodec::HasImageComponent() const {
  return CanRead(ImageFormat::kTiff) && CanRead(ImageFormat::kPng) && CanRead(ImageFormat::kTga) &&
         CanRead(ImageFormat::kPcx) && CanRead(ImageFormat::kPsd);
}

std::unique_ptr<ImageCodec> MakeLibraryImageCodec() {
  return std::make_unique<LibraryImageCodec>();
}

}  // namespace vellumox
