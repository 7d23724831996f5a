// The raster formats other than JPEG and PNG, and WMF, through ImageMagick. The coder is always
// named explicitly ("BMP:photo.bmp"), so the library never guesses a format from the bytes and
// never hands them to a delegate such as PostScript or SVG.
#include <Magick++.h>

#include <mutex>

#include "images/decoders.h"

namespace vellumox {

namespace {

// Metafiles are drawn at the screen's 96 dots per inch.
constexpr double kMetafileDensity = 96;

std::string CoderSpec(const std::string& path, ImageFormat format) {
  // Only the first picture of a file: the first frame of a GIF, page of a TIFF, icon of an ICO,
  // the merged picture of a PSD.
  return std::string(FormatName(format)) + ":" + path + "[0]";
}

void Prepare(Magick::Image& image, ImageFormat format) {
  image.quiet(true);  // warnings are not failures
  if (format == ImageFormat::kWmf) {
    image.density(Magick::Geometry(static_cast<size_t>(kMetafileDensity),
                                   static_cast<size_t>(kMetafileDensity)));
  }
}

// What went wrong, in the user's terms: the library's own text names its source files and asks
// to be sent bug reports, which says nothing to someone converting a picture.
std::string ReasonOf(const std::exception& e) {
  if (dynamic_cast<const Magick::ErrorResourceLimit*>(&e) ||
      dynamic_cast<const Magick::WarningResourceLimit*>(&e) ||
      dynamic_cast<const std::bad_alloc*>(&e)) {
    return "decoding it needs more memory than a picture may take";
  }
  if (dynamic_cast<const Magick::ErrorFileOpen*>(&e)) return "the file cannot be opened";
  return "the file is damaged, cut short, or not a picture of its type";
}

bool IsGrey(const Magick::Image& image) {
  Magick::ImageType type = image.type();
  return image.colorSpace() == Magick::GRAYColorspace || type == Magick::GrayscaleType ||
         type == Magick::GrayscaleMatteType || type == Magick::BilevelType;
}

class MagickRows : public PixelRows {
 public:
  bool Open(const std::string& path, ImageFormat format) {
    try {
      Prepare(image_, format);
      image_.read(CoderSpec(path, format));
      if (image_.columns() == 0 || image_.rows() == 0) {
        error_ = "the picture is empty";
        return false;
      }
      const bool grey = IsGrey(image_);
      width_ = static_cast<int>(image_.columns());
      height_ = static_cast<int>(image_.rows());
      if (TakePalette()) return true;
      if (!grey && image_.colorSpace() != Magick::sRGBColorspace) {
        image_.colorSpace(Magick::sRGBColorspace);
      }
      channels_ = grey ? 1 : 3;
      alpha_ = image_.matte();
      bits_ = grey && !alpha_ && image_.type() == Magick::BilevelType ? 1 : 8;
      map_ = std::string(grey ? "I" : "RGB") + (alpha_ ? "A" : "");
      return true;
    } catch (const std::exception& e) {
      error_ = ReasonOf(e);
      return false;
    }
  }

  bool NextRow(uint8_t* row) override {
    if (next_ >= height_) return false;
    try {
      if (indexed()) {
        image_.getConstPixels(0, next_, static_cast<size_t>(width_), 1);
        const Magick::IndexPacket* indexes = image_.getConstIndexes();
        if (!indexes) {
          error_ = "the picture's palette cannot be read";
          return false;
        }
        for (int x = 0; x < width_; ++x) row[x] = static_cast<uint8_t>(indexes[x]);
      } else {
        image_.write(0, next_, static_cast<size_t>(width_), 1, map_, Magick::CharPixel, row);
      }
    } catch (const std::exception& e) {
      error_ = ReasonOf(e);
      return false;
    }
    ++next_;
    return true;
  }

 private:
  // A picture that its file keeps as indexes into at most 256 colours (GIF, BMP, PCX, TIFF ...)
  // is handed out so, its palette's transparency with it.
  bool TakePalette() {
    const size_t entries = image_.classType() == Magick::PseudoClass ? image_.colorMapSize() : 0;
    const MagickCore::Image* image = image_.constImage();
    if (entries < 1 || entries > 256 || !image->colormap ||
        (image->colorspace != MagickCore::sRGBColorspace &&
         image->colorspace != MagickCore::GRAYColorspace)) {
      return false;
    }
    std::string palette, alpha;
    bool clear = false;
    for (size_t i = 0; i < entries; ++i) {
      const MagickCore::PixelPacket& entry = image->colormap[i];
      palette += static_cast<char>(MagickCore::ScaleQuantumToChar(entry.red));
      palette += static_cast<char>(MagickCore::ScaleQuantumToChar(entry.green));
      palette += static_cast<char>(MagickCore::ScaleQuantumToChar(entry.blue));
      const uint8_t opacity = image->matte ? MagickCore::ScaleQuantumToChar(entry.opacity) : 0;
      alpha += static_cast<char>(255 - opacity);
      clear = clear || opacity != 0;
    }
    // Some formats keep transparency beside the palette (an icon's mask): the pixels must say
    // what their entries say, or the picture is handed out as colour and alpha.
    if (image->matte && !AlphaFollowsPalette(image)) return false;
    SetPalette(std::move(palette), clear ? std::move(alpha) : std::string());
    return true;
  }

  bool AlphaFollowsPalette(const MagickCore::Image* image) {
    const size_t entries = image->colors;
    for (int y = 0; y < height_; ++y) {
      const Magick::PixelPacket* pixels =
          image_.getConstPixels(0, y, static_cast<size_t>(width_), 1);
      const Magick::IndexPacket* indexes = image_.getConstIndexes();
      if (!pixels || !indexes) return false;
      for (int x = 0; x < width_; ++x) {
        const size_t index = static_cast<size_t>(indexes[x]);
        if (index >= entries || pixels[x].opacity != image->colormap[index].opacity) return false;
      }
    }
    return true;
  }

  Magick::Image image_;
  std::string map_;  // the channels a row is written as
  int next_ = 0;
};

}  // namespace

void InitializeMagickLibrary() {
  static std::once_flag once;
  std::call_once(once, [] {
    Magick::InitializeMagick(nullptr);
    // The system policy may set lower limits; it always wins. These keep a decompression bomb
    // from taking the machine where the policy is looser.
    Magick::ResourceLimits::memory(256ull << 20);
    Magick::ResourceLimits::map(512ull << 20);
    Magick::ResourceLimits::disk(1ull << 30);
    Magick::ResourceLimits::area(128ull << 20);
    Magick::ResourceLimits::width(16384);
    Magick::ResourceLimits::height(16384);
    // Beyond the helper's own limit of time per picture, which ends it first.
    MagickCore::SetMagickResourceLimit(MagickCore::TimeResource, 120);
  });
}

bool MagickCanRead(ImageFormat format) {
  InitializeMagickLibrary();
  std::string name(FormatName(format));
  if (name.empty()) return false;
  MagickCore::ExceptionInfo* exception = MagickCore::AcquireExceptionInfo();
  const MagickCore::MagickInfo* info = MagickCore::GetMagickInfo(name.c_str(), exception);
  MagickCore::DestroyExceptionInfo(exception);
  return info != nullptr && info->decoder != nullptr;
}

std::unique_ptr<PixelRows> OpenMagickRows(const std::string& path, ImageFormat format,
                                          std::string* error) {
  InitializeMagickLibrary();
  auto rows = std::make_unique<MagickRows>();
  if (!rows->Open(path, format)) {
    if (error) *error = rows->error();
    return nullptr;
  }
  return rows;
}

std::optional<PixelSize> PingMagickSize(const std::string& path, ImageFormat format,
                                        std::string* error) {
  InitializeMagickLibrary();
  try {
    Magick::Image image;
    Prepare(image, format);
    image.ping(CoderSpec(path, format));
    if (image.columns() == 0 || image.rows() == 0) return std::nullopt;
    return PixelSize{static_cast<int>(image.columns()), static_cast<int>(image.rows())};
  } catch (const std::exception& e) {
    if (error) *error = ReasonOf(e);
    return std::nullopt;
  }
}

}  // namespace vellumox
