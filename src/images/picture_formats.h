// Every picture format that the system knows, in one place: how each is recognised from a
// file's first bytes, which decoder reads it, and the picture types (the name extensions) that
// mean it, with the label that lists show, what a name promises, and whether the type is one of
// the optional formats. The references, the codec, the patterns, the converter's file types and
// the album builder's list all read it; each program keeps its own order of the types.
//
// A new format is one row of kPictureFormats (and a recogniser), and one row of kPictureTypes
// for each extension that means it.
#pragma once

#include <array>
#include <span>
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
// The formats, kJpeg to kEmf.
inline constexpr int kImageFormatCount = 11;

// What reads a format: libjpeg-turbo and libpng in the process, the other raster formats and
// WMF through ImageMagick, EMF through emf2svg-conv and librsvg; the last two in the decoding
// helper process.
enum class PictureDecoder { kLibjpeg, kLibpng, kImageMagick, kEmfConverter };

struct PictureFormat {
  ImageFormat format;
  std::string_view coder;  // the image library's name of its coder ("JPEG"), also for messages
  PictureDecoder decoder;
  // Whether a file's first bytes (at most kSniffLength) and its name are of this format.
  bool (*recognises)(std::string_view head, std::string_view file_name);
};

// The formats in the order their signatures are tried: TGA, which has none, last.
extern const std::array<PictureFormat, kImageFormatCount> kPictureFormats;

// The number of leading bytes that SniffImageFormat looks at.
inline constexpr size_t kSniffLength = 64;

// The format of a picture from its first bytes; TGA, which has no signature, is recognised by a
// name ending in ".tga" and a plausible header. Anything else (PostScript, SVG, PDF, text, ...)
// is kUnknown and is never decoded.
ImageFormat SniffImageFormat(std::string_view head, std::string_view file_name);
// Reads the first bytes of a file and sniffs them; kUnknown when the file cannot be read.
ImageFormat SniffImageFile(const std::string& path);

// "JPEG", "PNG", ... as the image library names its coders; empty for kUnknown.
std::string_view FormatName(ImageFormat format);
PictureDecoder DecoderOf(ImageFormat format);

struct PictureType {
  std::string_view extension;  // ".jpg", compared without regard to case
  std::string_view label;      // "JPG", as lists name the type ("Make Album with JPG")
  ImageFormat format;
  std::string_view promise;  // "a JPEG": what a name with this extension says the file is
  // One of the formats (TIF, PNG, TGA, PCX, PSD) that are offered only when all of them can be
  // read.
  bool optional;
  // Another name of a type before it (".jpeg" beside ".jpg"): taken wherever a name or pattern
  // is read, but not listed on its own where the programs list the types.
  bool alias = false;
};

extern const std::array<PictureType, 16> kPictureTypes;

// The type that a name's extension means, or nullptr.
const PictureType* PictureTypeOfName(std::string_view name);
// The type of an extension in kPictureTypes (a name the tables themselves use).
const PictureType& PictureTypeOf(std::string_view extension);

// The order in which each list shows the picture types; the optional types follow each list,
// in the order of kPictureTypes.
// The converter's album patterns and the pictures of its file dialog.
inline constexpr std::array<std::string_view, 7> kConverterPatternOrder = {
    ".jpg", ".gif", ".bmp", ".wmf", ".emf", ".rle", ".ico"};
// The converter's file types "Make Album with ...".
inline constexpr std::array<std::string_view, 6> kConverterFileTypeOrder = {".jpg", ".bmp", ".gif",
                                                                            ".wmf", ".emf", ".rle"};
// The album builder's file list.
inline constexpr std::array<std::string_view, 5> kAlbumBuilderOrder = {".jpg", ".bmp", ".gif",
                                                                       ".emf", ".wmf"};
// The extensions of the optional types.
std::span<const std::string_view> OptionalTypeOrder();
// The patterns of the other names of the types (";*.jpeg;*.jpe;*.jfif"), those of the optional
// types (";*.tiff") only when extra_formats: what follows a list's own patterns so that a
// picture is found by any of its usual names.
std::string AliasPatterns(bool extra_formats);
// The first extension of a format's types (".jpg" for kJpeg); empty for kUnknown.
std::string_view ExtensionOf(ImageFormat format);

// "*.jpg" for ".jpg".
std::string PatternOf(std::string_view extension);
// The patterns of extensions, each after separator: ";*.jpg;*.gif" for (order, ";").
std::string PatternList(std::span<const std::string_view> order, std::string_view separator);

}  // namespace vellumox
