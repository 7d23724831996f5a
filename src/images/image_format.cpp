#include "images/image_format.h"

#include "platform/file_system.h"
#include "writer/path_names.h"

namespace vellumox {

namespace {

unsigned Byte(std::string_view head, size_t i) {
  return i < head.size() ? static_cast<unsigned char>(head[i]) : 0x100;
}

bool PlausibleTga(std::string_view h) {
  if (h.size() < 18) return false;
  unsigned colormap = Byte(h, 1), type = Byte(h, 2), depth = Byte(h, 16);
  unsigned width = Byte(h, 12) | Byte(h, 13) << 8, height = Byte(h, 14) | Byte(h, 15) << 8;
  bool type_ok = type == 1 || type == 2 || type == 3 || type == 9 || type == 10 || type == 11;
  bool depth_ok = depth == 8 || depth == 15 || depth == 16 || depth == 24 || depth == 32;
  return colormap <= 1 && type_ok && depth_ok && width > 0 && height > 0;
}

}  // namespace

ImageFormat SniffImageFormat(std::string_view h, std::string_view file_name) {
  if (h.substr(0, 3) == "\xFF\xD8\xFF") return ImageFormat::kJpeg;
  if (h.substr(0, 8) == "\x89PNG\r\n\x1A\n") return ImageFormat::kPng;
  if (h.substr(0, 6) == "GIF87a" || h.substr(0, 6) == "GIF89a") return ImageFormat::kGif;
  if (h.substr(0, 2) == "BM" && h.size() >= 26) return ImageFormat::kBmp;
  if (h.substr(0, 4) == std::string_view("II*\0", 4) ||
      h.substr(0, 4) == std::string_view("MM\0*", 4)) {
    return ImageFormat::kTiff;
  }
  if (h.substr(0, 4) == "8BPS") return ImageFormat::kPsd;
  if (h.substr(0, 4) == "\xD7\xCD\xC6\x9A") return ImageFormat::kWmf;  // placeable metafile
  if ((Byte(h, 0) == 1 || Byte(h, 0) == 2) && Byte(h, 1) == 0 && Byte(h, 2) == 9 &&
      Byte(h, 3) == 0 && Byte(h, 4) == 0 && (Byte(h, 5) == 3 || Byte(h, 5) == 1)) {
    return ImageFormat::kWmf;  // metafile without the placeable header
  }
  if (h.size() >= 44 && h.substr(0, 4) == std::string_view("\x01\0\0\0", 4) &&
      h.substr(40, 4) == " EMF") {
    return ImageFormat::kEmf;
  }
  if (h.substr(0, 4) == std::string_view("\0\0\1\0", 4) && (Byte(h, 4) | Byte(h, 5)) != 0) {
    return ImageFormat::kIco;
  }
  if (Byte(h, 0) == 0x0A && Byte(h, 1) <= 5 && Byte(h, 2) <= 1 &&
      (Byte(h, 3) == 1 || Byte(h, 3) == 2 || Byte(h, 3) == 4 || Byte(h, 3) == 8)) {
    return ImageFormat::kPcx;
  }
  if (EndsWithIgnoreCase(file_name, ".tga") && PlausibleTga(h)) return ImageFormat::kTga;
  return ImageFormat::kUnknown;
}

ImageFormat SniffImageFile(const std::string& path) {
  const std::string head = ReadFileHead(path, kSniffLength);
  if (head.empty()) return ImageFormat::kUnknown;
  return SniffImageFormat(head, path);
}

std::string_view FormatName(ImageFormat format) {
  switch (format) {
    case ImageFormat::kJpeg:
      return "JPEG";
    case ImageFormat::kPng:
      return "PNG";
    case ImageFormat::kGif:
      return "GIF";
    case ImageFormat::kBmp:
      return "BMP";
    case ImageFormat::kTiff:
      return "TIFF";
    case ImageFormat::kPsd:
      return "PSD";
    case ImageFormat::kPcx:
      return "PCX";
    case ImageFormat::kIco:
      return "ICO";
    case ImageFormat::kTga:
      return "TGA";
    case ImageFormat::kWmf:
      return "WMF";
    case ImageFormat::kEmf:
      return "EMF";
    case ImageFormat::kUnknown:
      return "";
  }
  return "";
}

}  // namespace vellumox
