// Writes the pictures of the album benchmarks: COUNT JPEGs of 3000 x 2000 at quality 90, with an
// EXIF orientation as cameras write it (every fourth one turned), and COUNT
// PNGs of 1600 x 1200, each different, with photo-like noise so that they compress like photos.
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

// clang-format off
#include <jpeglib.h>
// clang-format on

namespace {

void FillRow(std::vector<unsigned char>& row, int width, int y, int seed, std::mt19937& rng) {
  for (int x = 0; x < width; ++x) {
    unsigned noise = rng() % 24;
    row[3 * x] = static_cast<unsigned char>((x / 7 + y / 11 + seed * 29) % 200 + noise);
    row[3 * x + 1] = static_cast<unsigned char>((y / 5 + seed * 13) % 200 + noise);
    row[3 * x + 2] = static_cast<unsigned char>(((x + y) / 9 + seed * 7) % 200 + noise);
  }
}

void WriteJpeg(const std::string& path, int width, int height, int seed) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) std::exit(1);
  jpeg_compress_struct info{};
  jpeg_error_mgr err{};
  info.err = jpeg_std_error(&err);
  jpeg_create_compress(&info);
  jpeg_stdio_dest(&info, file);
  info.image_width = width;
  info.image_height = height;
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 90, TRUE);
  jpeg_start_compress(&info, TRUE);
  // Like a camera's: an EXIF segment, and every fourth photo taken upright (orientation 6).
  const unsigned char exif[] = {'E',  'x',
                                'i',  'f',
                                0,    0,
                                'M',  'M',
                                0,    42,
                                0,    0,
                                0,    8,
                                0,    1,
                                0x01, 0x12,
                                0,    3,
                                0,    0,
                                0,    1,
                                0,    static_cast<unsigned char>(seed % 4 == 0 ? 6 : 1),
                                0,    0,
                                0,    0,
                                0,    0};
  jpeg_write_marker(&info, JPEG_APP0 + 1, exif, sizeof exif);
  std::mt19937 rng(seed);
  std::vector<unsigned char> row(static_cast<size_t>(width) * 3);
  for (int y = 0; y < height; ++y) {
    FillRow(row, width, y, seed, rng);
    JSAMPROW p = row.data();
    jpeg_write_scanlines(&info, &p, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::fclose(file);
}

void WritePng(const std::string& path, int width, int height, int seed) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) std::exit(1);
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_init_io(png, file);
  png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  std::mt19937 rng(seed);
  std::vector<unsigned char> row(static_cast<size_t>(width) * 3);
  for (int y = 0; y < height; ++y) {
    FillRow(row, width, y, seed, rng);
    png_write_row(png, row.data());
  }
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  std::fclose(file);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: make_bench_pictures FOLDER COUNT\n");
    return 2;
  }
  std::string folder = argv[1];
  int count = std::atoi(argv[2]);
  for (int i = 1; i <= count; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "/photo%03d.jpg", i);
    WriteJpeg(folder + name, 3000, 2000, i);
    std::snprintf(name, sizeof name, "/scan%03d.png", i);
    WritePng(folder + name, 1600, 1200, i);
  }
  return 0;
}
