// The picture formats the converter accepts, told from a file's first bytes.
#pragma once

#include <string>
#include <string_view>

namespace vellumox {

enum class ImageFormat {
  kUnknown,
  kJpeg,
  kPng,
  kGif,
  kBmp,
  kTiff,
  kPsd,
  kPcx,
  kIco,
  kTga,
  kWmf,
  kEmf
};

// The number of leading bytes that SniffImageFormat looks at.
inline constexpr size_t kSniffLength = 64;

// The format of a picture from its first bytes; TGA, which has no signature, is recognised by a
// name ending in ".tga" and a plausible header. Anything else (PostScript, SVG, PDF, text, ...)
// is kUnknown and is never decoded.
ImageFormat SniffImageFormat(std::string_view head, std::string_view file_name);

// Reads the first bytes of a file and sniffs them; kUnknown when the file cannot be read.
ImageFormat SniffImageFile(const std::string& path);

// "JPEG", "PNG", ... as the image library names its coders.
std::string_view FormatName(ImageFormat format);

}  // namespace vellumox
