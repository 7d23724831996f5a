#include "images/picture_formats.h"

#include <vector>

#include "platform/file_system.h"
#include "writer/path_names.h"

namespace vellumox {

namespace {

unsigned Byte(std::string_view head, size_t i) {
  return i < head.size() ? static_cast<unsigned char>(head[i]) : 0x100;
}

bool IsJpeg(std::string_view h, std::string_view) {
  return h.substr(0, 3) == "\xFF\xD8\xFF";
}

bool IsPng(std::string_view h, std::string_view) {
  return h.substr(0, 8) == "\x89PNG\r\n\x1A\n";
}

bool IsGif(std::string_view h, std::string_view) {
  return h.substr(0, 6) == "GIF87a" || h.substr(0, 6) == "GIF89a";
}

bool IsBmp(std::string_view h, std::string_view) {
  return h.substr(0, 2) == "BM" && h.size() >= 26;
}

bool IsTiff(std::string_view h, std::string_view) {
  return h.substr(0, 4) == std::string_view("II*\0", 4) ||
         h.substr(0, 4) == std::string_view("MM\0*", 4);
}

bool IsPsd(std::string_view h, std::string_view) {
  return h.substr(0, 4) == "8BPS";
}

bool IsWmf(std::string_view h, std::string_view) {
  if (h.substr(0, 4) == "\xD7\xCD\xC6\x9A") return true;  // placeable metafile
  // A metafile without the placeable header.
  return (Byte(h, 0) == 1 || Byte(h, 0) == 2) && Byte(h, 1) == 0 && Byte(h, 2) == 9 &&
         Byte(h, 3) == 0 && Byte(h, 4) == 0 && (Byte(h, 5) == 3 || Byte(h, 5) == 1);
}

bool IsEmf(std::string_view h, std::string_view) {
  return h.size() >= 44 && h.substr(0, 4) == std::string_view("\x01\0\0\0", 4) &&
         h.substr(40, 4) == " EMF";
}

bool IsIco(std::string_view h, std::string_view) {
  return h.substr(0, 4) == std::string_view("\0\0\1\0", 4) && (Byte(h, 4) | Byte(h, 5)) != 0;
}

bool IsPcx(std::string_view h, std::string_view) {
  return Byte(h, 0) == 0x0A && Byte(h, 1) <= 5 && Byte(h, 2) <= 1 &&
         (Byte(h, 3) == 1 || Byte(h, 3) == 2 || Byte(h, 3) == 4 || Byte(h, 3) == 8);
}

bool IsTga(std::string_view h, std::string_view file_name) {
  if (!EndsWithIgnoreCase(file_name, ".tga") || h.size() < 18) return false;
  unsigned colormap = Byte(h, 1), type = Byte(h, 2), depth = Byte(h, 16);
  unsigned width = Byte(h, 12) | Byte(h, 13) << 8, height = Byte(h, 14) | Byte(h, 15) << 8;
  bool type_ok = type == 1 || type == 2 || type == 3 || type == 9 || type == 10 || type == 11;
  bool depth_ok = depth == 8 || depth == 15 || depth == 16 || depth == 24 || depth == 32;
  return colormap <= 1 && type_ok && depth_ok && width > 0 && height > 0;
}

const PictureFormat* FindFormat(ImageFormat format) {
  for (const PictureFormat& f : kPictureFormats) {
    if (f.format == format) return &f;
  }
  return nullptr;
}

}  // namespace

const std::array<PictureFormat, kImageFormatCount> kPictureFormats = {{
    {ImageFormat::kJpeg, "JPEG", PictureDecoder::kLibjpeg, IsJpeg},
    {ImageFormat::kPng, "PNG", PictureDecoder::kLibpng, IsPng},
    {ImageFormat::kGif, "GIF", PictureDecoder::kImageMagick, IsGif},
    {ImageFormat::kBmp, "BMP", PictureDecoder::kImageMagick, IsBmp},
    {ImageFormat::kTiff, "TIFF", PictureDecoder::kImageMagick, IsTiff},
    {ImageFormat::kPsd, "PSD", PictureDecoder::kImageMagick, IsPsd},
    {ImageFormat::kWmf, "WMF", PictureDecoder::kImageMagick, IsWmf},
    {ImageFormat::kEmf, "EMF", PictureDecoder::kEmfConverter, IsEmf},
    {ImageFormat::kIco, "ICO", PictureDecoder::kImageMagick, IsIco},
    {ImageFormat::kPcx, "PCX", PictureDecoder::kImageMagick, IsPcx},
    {ImageFormat::kTga, "TGA", PictureDecoder::kImageMagick, IsTga},
}};

const std::array<PictureType, 16> kPictureTypes = {{
    {".jpg", "JPG", ImageFormat::kJpeg, "a JPEG", false},
    {".bmp", "BMP", ImageFormat::kBmp, "a BMP", false},
    {".rle", "RLE", ImageFormat::kBmp, "an RLE", false},
    {".gif", "GIF", ImageFormat::kGif, "a GIF", false},
    {".wmf", "WMF", ImageFormat::kWmf, "a WMF", false},
    {".emf", "EMF", ImageFormat::kEmf, "an EMF", false},
    {".ico", "ICO", ImageFormat::kIco, "an ICO", false},
    {".tif", "TIF", ImageFormat::kTiff, "a TIFF", true},
    {".png", "PNG", ImageFormat::kPng, "a PNG", true},
    {".tga", "TGA", ImageFormat::kTga, "a TGA", true},
    {".pcx", "PCX", ImageFormat::kPcx, "a PCX", true},
    {".psd", "PSD", ImageFormat::kPsd, "a PSD", true},
    {".jpeg", "JPEG", ImageFormat::kJpeg, "a JPEG", false, true},
    {".jpe", "JPE", ImageFormat::kJpeg, "a JPEG", false, true},
    {".jfif", "JFIF", ImageFormat::kJpeg, "a JPEG", false, true},
    {".tiff", "TIFF", ImageFormat::kTiff, "a TIFF", true, true},
}};

ImageFormat SniffImageFormat(std::string_view head, std::string_view file_name) {
  for (const PictureFormat& f : kPictureFormats) {
    if (f.recognises(head, file_name)) return f.format;
  }
  return ImageFormat::kUnknown;
}

ImageFormat SniffImageFile(const std::string& path) {
  const std::string head = ReadFileHead(path, kSniffLength);
  if (head.empty()) return ImageFormat::kUnknown;
  return SniffImageFormat(head, path);
}

std::string_view FormatName(ImageFormat format) {
  const PictureFormat* f = FindFormat(format);
  return f ? f->coder : std::string_view();
}

PictureDecoder DecoderOf(ImageFormat format) {
  const PictureFormat* f = FindFormat(format);
  return f ? f->decoder : PictureDecoder::kImageMagick;
}

const PictureType* PictureTypeOfName(std::string_view name) {
  for (const PictureType& type : kPictureTypes) {
    if (EndsWithIgnoreCase(name, type.extension)) return &type;
  }
  return nullptr;
}

const PictureType& PictureTypeOf(std::string_view extension) {
  for (const PictureType& type : kPictureTypes) {
    if (type.extension == extension) return type;
  }
  return kPictureTypes[0];
}

std::span<const std::string_view> OptionalTypeOrder() {
  static const std::vector<std::string_view> order = [] {
    std::vector<std::string_view> optional;
    for (const PictureType& type : kPictureTypes) {
      if (type.optional && !type.alias) optional.push_back(type.extension);
    }
    return optional;
  }();
  return order;
}

std::string AliasPatterns(bool extra_formats) {
  std::string list;
  for (const PictureType& type : kPictureTypes) {
    if (type.alias && (extra_formats || !type.optional)) list += ";" + PatternOf(type.extension);
  }
  return list;
}

std::string_view ExtensionOf(ImageFormat format) {
  for (const PictureType& type : kPictureTypes) {
    if (type.format == format) return type.extension;
  }
  return {};
}

std::string PatternOf(std::string_view extension) {
  return "*" + std::string(extension);
}

std::string PatternList(std::span<const std::string_view> order, std::string_view separator) {
  std::string list;
  for (std::string_view extension : order) {
    list += separator;
    list += PatternOf(extension);
  }
  return list;
}

}  // namespace vellumox
