#include "support/picture_fixtures.h"

#include <Magick++.h>
#include <png.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <vector>

// clang-format off
#include <jpeglib.h>
// clang-format on

namespace vellumox::test {

namespace {

uint8_t Shade(int x, int y, int c, int seed) {
  return static_cast<uint8_t>((x * (c + 1) + y * (3 - c) + seed * 37) & 0xFF);
}

void Put16(std::string& out, unsigned v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

ImageCodec& SharedCodec() {
  static std::unique_ptr<ImageCodec> codec = MakeLibraryImageCodec();
  return *codec;
}

namespace {

std::string ExifWithOrientation(int orientation) {
  if (orientation <= 0) return std::string();
  // Exif, then a big-endian TIFF header and one IFD holding Orientation (0x0112, SHORT).
  const char bytes[] = {
      'E', 'x', 'i', 'f',  0,    0, 'M', 'M', 0, 42, 0, 0, 0,
      8,   0,   1,   0x01, 0x12, 0, 3,   0,   0, 0,  1, 0, static_cast<char>(orientation),
      0,   0,   0,   0,    0,    0};
  return std::string(bytes, sizeof bytes);
}

// Writes a JPEG of 1, 3 or 4 (CMYK) channels whose rows row_of(y) gives; app1, when not empty,
// is written as an APP1 segment (EXIF).
template <class RowOf>
void WriteJpeg(const std::string& path, int width, int height, int channels, int quality,
               bool progressive, const std::string& app1, RowOf row_of,
               const JpegCoding& coding = JpegCoding()) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) throw std::runtime_error("cannot write " + path);
  jpeg_compress_struct info{};
  jpeg_error_mgr err{};
  info.err = jpeg_std_error(&err);
  jpeg_create_compress(&info);
  jpeg_stdio_dest(&info, file);
  info.image_width = static_cast<JDIMENSION>(width);
  info.image_height = static_cast<JDIMENSION>(height);
  info.input_components = channels;
  info.in_color_space = channels == 1 ? JCS_GRAYSCALE : channels == 4 ? JCS_CMYK : JCS_RGB;
  jpeg_set_defaults(&info);
  if (channels == 4) jpeg_set_colorspace(&info, JCS_YCCK);
  jpeg_set_quality(&info, quality, TRUE);
  if (progressive) jpeg_simple_progression(&info);
  if (channels == 4) info.write_Adobe_marker = TRUE;
  info.arith_code = coding.arithmetic ? TRUE : FALSE;
  jpeg_start_compress(&info, TRUE);
  if (!app1.empty()) {
    jpeg_write_marker(&info, JPEG_APP0 + 1, reinterpret_cast<const JOCTET*>(app1.data()),
                      static_cast<unsigned>(app1.size()));
  }
  const std::string& icc = coding.icc_profile;
  const size_t chunks = (icc.size() + coding.chunk_bytes - 1) / coding.chunk_bytes;
  for (size_t k = 0; k < chunks; ++k) {
    std::string segment("ICC_PROFILE\0", 12);
    segment += static_cast<char>(k + 1);
    segment += static_cast<char>(chunks);
    segment += icc.substr(k * coding.chunk_bytes, coding.chunk_bytes);
    jpeg_write_marker(&info, JPEG_APP0 + 2, reinterpret_cast<const JOCTET*>(segment.data()),
                      static_cast<unsigned>(segment.size()));
  }
  for (int y = 0; y < height; ++y) {
    JSAMPROW p = row_of(y);
    jpeg_write_scanlines(&info, &p, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::fclose(file);
}

}  // namespace

void MakeJpeg(const std::string& path, int width, int height, Pixels pixels, int quality,
              bool progressive, int seed) {
  JpegCoding coding;
  coding.quality = quality;
  coding.progressive = progressive;
  MakeJpeg(path, width, height, pixels, coding, seed);
}

void MakeJpeg(const std::string& path, int width, int height, Pixels pixels,
              const JpegCoding& coding, int seed) {
  const int channels = pixels == Pixels::kGrey ? 1 : pixels == Pixels::kCmyk ? 4 : 3;
  std::vector<uint8_t> row(static_cast<size_t>(width) * channels);
  WriteJpeg(
      path, width, height, channels, coding.quality, coding.progressive,
      ExifWithOrientation(coding.orientation),
      [&](int y) {
        for (int x = 0; x < width; ++x) {
          for (int c = 0; c < channels; ++c)
            row[static_cast<size_t>(x) * channels + c] = Shade(x, y, c, seed);
        }
        return row.data();
      },
      coding);
}

namespace {

void PutBig32(std::string& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((v >> shift) & 0xFF);
}
void PutS15Fixed16(std::string& out, double v) {
  PutBig32(out, static_cast<uint32_t>(static_cast<int32_t>(v * 65536 + (v < 0 ? -0.5 : 0.5))));
}
std::string XyzTag(double x, double y, double z) {
  std::string t("XYZ \0\0\0\0", 8);
  PutS15Fixed16(t, x);
  PutS15Fixed16(t, y);
  PutS15Fixed16(t, z);
  return t;
}

}  // namespace

std::string MakeIccProfile(int version, bool grey, size_t padding) {
  // The tags: a description, the white point, and per channel its colourant and its curve.
  std::vector<std::pair<std::string, std::string>> tags;
  std::string desc("desc\0\0\0\0", 8);
  const std::string name = "Vellumox test profile";
  PutBig32(desc, static_cast<uint32_t>(name.size() + 1));
  desc += name + '\0';
  desc += std::string(4 + 4 + 2 + 1 + 67, '\0');  // no Unicode or ScriptCode description
  tags.emplace_back("desc", desc);
  tags.emplace_back("wtpt", XyzTag(0.9642, 1.0, 0.8249));
  std::string curve("curv\0\0\0\0", 8);
  PutBig32(curve, 1);
  curve += std::string("\x02\x33\0\0", 4);  // gamma 2.2 (u8Fixed8), padded to four bytes
  if (grey) {
    tags.emplace_back("kTRC", curve);
  } else {
    tags.emplace_back("rXYZ", XyzTag(0.4361, 0.2225, 0.0139));
    tags.emplace_back("gXYZ", XyzTag(0.3851, 0.7169, 0.0971));
    tags.emplace_back("bXYZ", XyzTag(0.1431, 0.0606, 0.7141));
    for (const char* trc : {"rTRC", "gTRC", "bTRC"}) tags.emplace_back(trc, curve);
  }
  tags.emplace_back("cprt", std::string("text\0\0\0\0No copyright\0\0\0\0", 24));
  std::string table, data;
  PutBig32(table, static_cast<uint32_t>(tags.size()));
  const size_t data_start = 128 + 4 + 12 * tags.size();
  for (const auto& [signature, bytes] : tags) {
    table += signature;
    PutBig32(table, static_cast<uint32_t>(data_start + data.size()));
    PutBig32(table, static_cast<uint32_t>(bytes.size()));
    data += bytes;
  }
  data += std::string(padding, '\0');
  std::string header;
  PutBig32(header, static_cast<uint32_t>(128 + table.size() + data.size()));
  header += std::string(4, '\0');  // preferred CMM
  PutBig32(header, version == 4 ? 0x04300000 : 0x02100000);
  header += "mntr";
  header += grey ? "GRAY" : "RGB ";
  header += "XYZ ";
  header += std::string(12, '\0');  // date
  header += "acsp";
  header += std::string(4 + 4 + 4 + 4 + 8 + 4, '\0');  // platform ... rendering intent
  PutS15Fixed16(header, 0.9642);
  PutS15Fixed16(header, 1.0);
  PutS15Fixed16(header, 0.8249);
  header.resize(128, '\0');
  return header + table + data;
}

void MakeOrientedJpeg(const std::string& path, int upright_width, int upright_height,
                      int orientation) {
  const bool turned = orientation >= 5;
  const int w = turned ? upright_height : upright_width;  // as stored
  const int h = turned ? upright_width : upright_height;
  std::vector<uint8_t> pixels(static_cast<size_t>(w) * h * 3);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      // Where the stored pixel (column x, row y) stands upright, by the EXIF definitions of
      // where the stored 0th row and 0th column go.
      int X = x, Y = y;
      switch (orientation) {
        case 2:
          X = w - 1 - x;
          break;  // 0th row top, 0th column right
        case 3:
          X = w - 1 - x;
          Y = h - 1 - y;
          break;  // bottom, right
        case 4:
          Y = h - 1 - y;
          break;  // bottom, left
        case 5:
          X = y;
          Y = x;
          break;  // left, top
        case 6:
          X = h - 1 - y;
          Y = x;
          break;  // right, top
        case 7:
          X = h - 1 - y;
          Y = w - 1 - x;
          break;  // right, bottom
        case 8:
          X = y;
          Y = w - 1 - x;
          break;  // left, bottom
        default:
          break;
      }
      const bool right = X >= upright_width / 2, below = Y >= upright_height / 2;
      const uint8_t rgb[4][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
      const uint8_t* c = rgb[(below ? 2 : 0) + (right ? 1 : 0)];
      std::copy(c, c + 3, pixels.begin() + (static_cast<size_t>(y) * w + x) * 3);
    }
  }
  WriteJpeg(path, w, h, 3, 95, false, ExifWithOrientation(orientation),
            [&](int y) { return pixels.data() + static_cast<size_t>(y) * w * 3; });
}

void MakePng(const std::string& path, int width, int height, Pixels pixels, bool interlaced) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) throw std::runtime_error("cannot write " + path);
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_init_io(png, file);
  png_set_compression_level(png, 1);
  int type = PNG_COLOR_TYPE_RGB, channels = 3;
  switch (pixels) {
    case Pixels::kGrey:
      type = PNG_COLOR_TYPE_GRAY;
      channels = 1;
      break;
    case Pixels::kRgba:
      type = PNG_COLOR_TYPE_RGB_ALPHA;
      channels = 4;
      break;
    case Pixels::kPalette:
      type = PNG_COLOR_TYPE_PALETTE;
      channels = 1;
      break;
    default:
      break;
  }
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
               type, interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (pixels == Pixels::kPalette) {
    std::vector<png_color> palette(256);
    for (int i = 0; i < 256; ++i) {
      palette[i] = png_color{static_cast<png_byte>(i), static_cast<png_byte>(255 - i), 128};
    }
    png_set_PLTE(png, info, palette.data(), 256);
  }
  png_write_info(png, info);
  int passes = interlaced ? png_set_interlace_handling(png) : 1;
  std::vector<uint8_t> row(static_cast<size_t>(width) * channels);
  for (int pass = 0; pass < passes; ++pass) {
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        for (int c = 0; c < channels; ++c) {
          // Alpha runs from transparent at the left to opaque at the right.
          row[static_cast<size_t>(x) * channels + c] =
              (pixels == Pixels::kRgba && c == 3)
                  ? static_cast<uint8_t>(x * 255 / (width > 1 ? width - 1 : 1))
                  : Shade(x, y, c, 0);
        }
      }
      png_write_row(png, row.data());
    }
  }
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  std::fclose(file);
}

void MakeClearPng(const std::string& path, int width, int height, Clear kind) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) throw std::runtime_error("cannot write " + path);
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_init_io(png, file);
  int type = PNG_COLOR_TYPE_RGB_ALPHA, channels = 4, depth = 8;
  switch (kind) {
    case Clear::kPaletteOneClear:
    case Clear::kPaletteTwoClear:
      type = PNG_COLOR_TYPE_PALETTE;
      channels = 1;
      break;
    case Clear::kKeyedRgb:
      type = PNG_COLOR_TYPE_RGB;
      channels = 3;
      break;
    case Clear::kPartialGreyAlpha:
      type = PNG_COLOR_TYPE_GRAY_ALPHA;
      channels = 2;
      break;
    case Clear::kBlackAndWhite:
      type = PNG_COLOR_TYPE_GRAY;
      channels = 1;
      depth = 1;
      break;
    default:
      break;
  }
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), depth,
               type, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (type == PNG_COLOR_TYPE_PALETTE) {
    std::vector<png_color> palette(16);
    std::vector<png_byte> alpha(16, 255);
    for (int i = 0; i < 16; ++i) {
      palette[i] = png_color{static_cast<png_byte>(i * 16), static_cast<png_byte>(255 - i * 16),
                             static_cast<png_byte>(i == 15 ? 0 : 200)};
    }
    alpha[15] = 0;
    if (kind == Clear::kPaletteTwoClear) alpha[14] = 0;
    png_set_PLTE(png, info, palette.data(), 16);
    png_set_tRNS(png, info, alpha.data(), 16, nullptr);
  } else if (kind == Clear::kKeyedRgb) {
    png_color_16 key{};
    key.red = key.green = key.blue = 7;
    png_set_tRNS(png, info, nullptr, 0, &key);
  }
  png_write_info(png, info);
  if (depth == 1) png_set_packing(png);
  std::vector<uint8_t> row(static_cast<size_t>(width) * channels);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      uint8_t* p = &row[static_cast<size_t>(x) * channels];
      const bool middle =
          x >= width / 4 && x < width * 3 / 4 && y >= height / 4 && y < height * 3 / 4;
      const auto ramp = static_cast<uint8_t>(x * 255 / (width > 1 ? width - 1 : 1));
      const uint8_t red = static_cast<uint8_t>(x * 3), green = static_cast<uint8_t>(y * 5);
      switch (kind) {
        case Clear::kPaletteOneClear:
          p[0] = static_cast<uint8_t>(middle ? 15 : (x / 4 + y / 4) % 15);
          break;
        case Clear::kPaletteTwoClear:
          p[0] = static_cast<uint8_t>(middle ? (x < width / 2 ? 14 : 15) : (x / 4 + y / 4) % 14);
          break;
        case Clear::kKeyedRgb:
          p[0] = middle ? 7 : red;
          p[1] = middle ? 7 : green;
          p[2] = middle ? 7 : 200;
          break;
        case Clear::kBinaryRgba:
        case Clear::kBinaryRgbaOnYellow: {
          const bool yellow = kind == Clear::kBinaryRgbaOnYellow && y == 0;
          p[0] = yellow ? 255 : red;
          p[1] = yellow ? 230 : green;
          p[2] = yellow ? 0 : middle ? 9 : 200;
          p[3] = middle ? 0 : 255;
          break;
        }
        case Clear::kPartialRgba:
          p[0] = red;
          p[1] = green;
          p[2] = 200;
          p[3] = ramp;
          break;
        case Clear::kPartialGreyAlpha:
          p[0] = green;
          p[1] = ramp;
          break;
        case Clear::kBlackAndWhite:
          p[0] = ((x / 4 + y / 4) % 2) != 0 ? 1 : 0;
          break;
      }
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  std::fclose(file);
}

void MakeWithMagick(const std::string& path, const std::string& coder, int width, int height,
                    bool grey) {
  Magick::InitializeMagick(nullptr);
  Magick::Image image;
  image.size(Magick::Geometry(static_cast<size_t>(width), static_cast<size_t>(height)));
  image.read("gradient:red-blue");
  image.fillColor(Magick::Color("orange"));
  image.draw(Magick::DrawableRectangle(width / 4, height / 4, width * 3 / 4, height * 3 / 4));
  if (grey) image.type(Magick::GrayscaleType);
  image.write(coder + ":" + path);
}

void MakeRleBitmap(const std::string& path, int width, int height) {
  std::string pixels;
  for (int y = 0; y < height; ++y) {
    // Runs of at most 255 pixels of one palette index, then end of line.
    for (int x = 0; x < width;) {
      int run = std::min(255, width - x);
      pixels += static_cast<char>(run);
      pixels += static_cast<char>((y / 4) % 4);
      x += run;
    }
    pixels += std::string("\0\0", 2);
  }
  pixels += std::string("\0\1", 2);  // end of bitmap
  const uint32_t palette_size = 256 * 4, header = 14 + 40 + palette_size;
  std::string out = "BM";
  Put32(out, header + static_cast<uint32_t>(pixels.size()));
  Put32(out, 0);
  Put32(out, header);
  Put32(out, 40);
  Put32(out, static_cast<uint32_t>(width));
  Put32(out, static_cast<uint32_t>(height));
  Put16(out, 1);
  Put16(out, 8);
  Put32(out, 1);  // BI_RLE8
  Put32(out, static_cast<uint32_t>(pixels.size()));
  Put32(out, 2835);
  Put32(out, 2835);
  Put32(out, 256);
  Put32(out, 0);
  const uint8_t colors[4][3] = {{255, 0, 0}, {0, 160, 0}, {0, 0, 255}, {250, 200, 0}};
  for (int i = 0; i < 256; ++i) {
    const uint8_t* c = colors[i % 4];
    out += static_cast<char>(c[2]);
    out += static_cast<char>(c[1]);
    out += static_cast<char>(c[0]);
    out += '\0';
  }
  WriteBytes(path, out + pixels);
}

void MakeWmf(const std::string& path, double width_inches, double height_inches,
             const std::string& text, int polylines) {
  const int units = 1440;
  const int w = static_cast<int>(width_inches * units), h = static_cast<int>(height_inches * units);
  std::string records;
  auto record = [&](unsigned function, std::initializer_list<int> params) {
    Put32(records, static_cast<uint32_t>(3 + params.size()));
    Put16(records, function);
    for (int p : params) Put16(records, static_cast<unsigned>(p) & 0xFFFF);
  };
  record(0x020B, {0, 0});  // SetWindowOrg(y, x)
  record(0x020C, {h, w});  // SetWindowExt(y, x)
  // CreateBrushIndirect(style solid, colour 0x0000C0 red, hatch) and SelectObject(0).
  record(0x02FC, {0, 0x00C0, 0x0000, 0});
  record(0x012D, {0});
  record(0x041B, {h * 3 / 4, w * 3 / 4, h / 4, w / 4});  // Rectangle(bottom, right, top, left)
  if (!text.empty()) {
    // CreateFontIndirect(height, width, escapement, orientation, weight 400, then the flag and
    // precision bytes, and the face name "Helvetica" in 32 bytes), SelectObject(1), TextOut.
    std::string font;
    for (int v : {-h / 8, 0, 0, 0, 400, 0, 0, 0, 0}) Put16(font, static_cast<unsigned>(v) & 0xFFFF);
    std::string face = "Helvetica";
    face.resize(32, '\0');
    font += face;
    Put32(records, static_cast<uint32_t>(3 + font.size() / 2));
    Put16(records, 0x02FB);
    records += font;
    record(0x012D, {1});
    std::string shown = text;
    if (shown.size() % 2) shown += '\0';
    Put32(records, static_cast<uint32_t>(3 + 1 + shown.size() / 2 + 2));
    Put16(records, 0x0521);
    Put16(records, static_cast<unsigned>(text.size()));
    records += shown;
    Put16(records, static_cast<unsigned>(h / 2));
    Put16(records, static_cast<unsigned>(w / 8));
  }
  constexpr int kPoints = 50;
  uint32_t seed = 1;
  for (int line = 0; line < polylines; ++line) {
    Put32(records, 3 + 1 + 2 * kPoints);
    Put16(records, 0x0325);  // Polyline
    Put16(records, kPoints);
    for (int k = 0; k < 2 * kPoints; ++k) {
      seed = seed * 1103515245u + 12345u;
      Put16(records, (seed >> 16) % static_cast<unsigned>(k % 2 ? h : w));
    }
  }
  record(0x0000, {});  // EOF
  std::string meta;
  Put16(meta, 1);
  Put16(meta, 9);
  Put16(meta, 0x0300);
  Put32(meta, static_cast<uint32_t>((18 + records.size()) / 2));
  Put16(meta, text.empty() ? 1 : 2);  // objects: the brush, and the font
  Put32(meta, polylines > 0 ? 3 + 1 + 2 * kPoints : text.empty() ? 7 : 28);  // largest record
  Put16(meta, 0);
  std::string placeable;
  Put32(placeable, 0x9AC6CDD7);
  Put16(placeable, 0);
  Put16(placeable, 0);
  Put16(placeable, 0);
  Put16(placeable, static_cast<unsigned>(w));
  Put16(placeable, static_cast<unsigned>(h));
  Put16(placeable, units);
  Put32(placeable, 0);
  unsigned checksum = 0;
  for (size_t i = 0; i < 20; i += 2) {
    checksum ^= static_cast<uint8_t>(placeable[i]) | static_cast<uint8_t>(placeable[i + 1]) << 8;
  }
  Put16(placeable, checksum);
  WriteBytes(path, placeable + meta + records);
}

void MakeEmf(const std::string& path, double width_mm, double height_mm, int rectangles) {
  const int fw = static_cast<int>(width_mm * 100), fh = static_cast<int>(height_mm * 100);
  const int pw = static_cast<int>(width_mm / 25.4 * 96),
            ph = static_cast<int>(height_mm / 25.4 * 96);
  std::string records;
  // CreateBrushIndirect(ihBrush 1, solid, blue), SelectObject(1), Rectangle, EOF.
  Put32(records, 39);
  Put32(records, 24);
  Put32(records, 1);
  Put32(records, 0);
  Put32(records, 0x00C00000);
  Put32(records, 0);
  Put32(records, 37);
  Put32(records, 12);
  Put32(records, 1);
  for (int k = 0; k < rectangles; ++k) {
    Put32(records, 43);
    Put32(records, 24);
    Put32(records, static_cast<uint32_t>(pw / 4));
    Put32(records, static_cast<uint32_t>(ph / 4));
    Put32(records, static_cast<uint32_t>(pw * 3 / 4));
    Put32(records, static_cast<uint32_t>(ph * 3 / 4));
  }
  Put32(records, 14);
  Put32(records, 20);
  Put32(records, 0);
  Put32(records, 16);
  Put32(records, 20);
  std::string header;
  Put32(header, 1);
  Put32(header, 88);
  for (int v : {0, 0, pw - 1, ph - 1, 0, 0, fw, fh}) Put32(header, static_cast<uint32_t>(v));
  Put32(header, 0x464D4520);  // " EMF"
  Put32(header, 0x10000);
  Put32(header, static_cast<uint32_t>(88 + records.size()));
  Put32(header, static_cast<uint32_t>(4 + rectangles));
  Put16(header, 2);
  Put16(header, 0);
  Put32(header, 0);
  Put32(header, 0);
  Put32(header, 0);
  for (int v : {pw, ph, static_cast<int>(width_mm), static_cast<int>(height_mm)}) {
    Put32(header, static_cast<uint32_t>(v));
  }
  WriteBytes(path, header + records);
}

}  // namespace vellumox::test
