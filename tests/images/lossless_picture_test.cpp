#include "images/lossless_picture.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>
#include <optional>
#include <vector>

#include "support/test_support.h"

namespace vellumox {
namespace {

// Undoes a PNG filter, as a reader does.
std::vector<uint8_t> Unfilter(const std::string& filtered, const std::vector<uint8_t>& previous,
                              int bpp) {
  const int filter = filtered[0];
  std::vector<uint8_t> row(filtered.size() - 1);
  for (size_t i = 0; i < row.size(); ++i) {
    const int a = i >= static_cast<size_t>(bpp) ? row[i - static_cast<size_t>(bpp)] : 0;
    const int b = previous[i];
    const int c = i >= static_cast<size_t>(bpp) ? previous[i - static_cast<size_t>(bpp)] : 0;
    int predicted = 0;
    if (filter == 1) predicted = a;
    if (filter == 2) predicted = b;
    if (filter == 3) predicted = (a + b) / 2;
    if (filter == 4) {
      const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
      predicted = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
    }
    row[i] = static_cast<uint8_t>(static_cast<uint8_t>(filtered[i + 1]) + predicted);
  }
  return row;
}

// Each row takes the filter with the least sum of absolute differences, and a reader's undoing
// of it gives the row back.
TEST(FilterRow, ChoosesTheSmallestSumAndKeepsEveryByte) {
  const std::vector<uint8_t> zeros(9, 0), ramp = {10, 20, 30, 40, 50, 60, 70, 80, 90},
                                          noise = {200, 3, 77, 150, 9, 250, 31, 128, 64};
  struct Case {
    const char* what;
    std::vector<uint8_t> previous, row;
    int bpp;
    int filter;
  } cases[] = {
      {"all zero: the first of equals", zeros, zeros, 3, 0},
      {"a flat first row", zeros, {5, 5, 5, 5, 5, 5, 5, 5, 5}, 3, 1},
      {"the row above again", noise, noise, 3, 2},
      {"a ramp of grey", zeros, ramp, 1, 1},
      {"a ramp of RGB pixels", zeros, ramp, 3, 1},
  };
  for (const Case& c : cases) {
    std::string out;
    FilterRow(c.row.data(), c.previous.data(), c.row.size(), c.bpp, out);
    EXPECT_EQ(out[0], c.filter) << c.what;
    EXPECT_EQ(Unfilter(out, c.previous, c.bpp), c.row) << c.what;
  }
  // Every filter undone gives back any row.
  for (int bpp : {1, 3}) {
    std::string out;
    FilterRow(noise.data(), ramp.data(), noise.size(), bpp, out);
    EXPECT_EQ(Unfilter(out, ramp, bpp), noise);
  }
}

// A picture in memory, in any of the forms that decoders hand out.
class MemoryRows : public PixelRows {
 public:
  // pixels: RowBytes() a row, all rows.
  MemoryRows(int width, int height, int channels, bool alpha, std::string pixels,
             std::string palette = {}, std::string palette_alpha = {}, int bits = 8)
      : pixels_(std::move(pixels)) {
    width_ = width;
    height_ = height;
    if (!palette.empty()) {
      SetPalette(std::move(palette), std::move(palette_alpha));
    } else {
      channels_ = channels;
      alpha_ = alpha;
      bits_ = bits;
    }
  }
  bool NextRow(uint8_t* row) override {
    const size_t size = RowBytes();
    if (next_ * size >= pixels_.size()) return false;
    std::copy_n(pixels_.data() + next_ * size, size, row);
    ++next_;
    return true;
  }

 private:
  std::string pixels_;
  size_t next_ = 0;
};

// The rows of a zlib stream of predicted rows of row_bytes each, as a reader gets them back.
std::vector<std::vector<uint8_t>> ReadBack(const std::string& path, size_t row_bytes, int bpp) {
  const std::string compressed = test::ReadFile(path);
  std::string raw(1 << 20, '\0');
  uLongf size = raw.size();
  if (uncompress(reinterpret_cast<Bytef*>(raw.data()), &size,
                 reinterpret_cast<const Bytef*>(compressed.data()), compressed.size()) != Z_OK) {
    return {};
  }
  std::vector<std::vector<uint8_t>> rows;
  std::vector<uint8_t> previous(row_bytes, 0);
  for (size_t at = 0; at + row_bytes + 1 <= size; at += row_bytes + 1) {
    previous = Unfilter(raw.substr(at, row_bytes + 1), previous, bpp);
    rows.push_back(previous);
  }
  return rows;
}

std::string Bytes(std::initializer_list<int> values) {
  std::string out;
  for (int v : values) out += static_cast<char>(v);
  return out;
}

// What each form of picture becomes, on a white page and on a yellow one (255, 230, 0).
TEST(WriteLosslessPicture, KeepsPaletteBitsAndAllOrNothingTransparency) {
  const Rgb8 white = kWhite8, yellow = {255, 230, 0};
  const std::string rgb4 = Bytes({255, 0, 0, 0, 255, 0, 0, 0, 255, 9, 9, 9});
  struct Case {
    const char* what;
    MemoryRows rows;
    Rgb8 page;
    int components, bits;
    std::string palette;   // as written
    std::vector<int> key;  // the colour key
    bool mask, composed;
    std::vector<std::vector<uint8_t>> out;  // the rows a reader gets back
  } cases[] = {
      {"a grey palette goes over DeviceGray, two entries in 1 bit",
       MemoryRows(4, 1, 1, false, Bytes({0, 1, 1, 0}), Bytes({0, 0, 0, 200, 200, 200})),
       white,
       1,
       1,
       Bytes({0, 200}),
       {},
       false,
       false,
       {{0x60}}},
      {"four colours in 2 bits; an index beyond the palette is its last entry",
       MemoryRows(4, 1, 3, false, Bytes({3, 2, 1, 200}), rgb4),
       white,
       3,
       2,
       rgb4,
       {},
       false,
       false,
       {{0xE7}}},
      {"one clear entry is the key, and holds the page colour",
       MemoryRows(2, 1, 3, false, Bytes({0, 3}), rgb4, Bytes({255, 255, 255, 0})),
       yellow,
       3,
       2,
       Bytes({255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 230, 0}),
       {3},
       false,
       false,
       {{0x30}}},
      {"two clear entries need a mask",
       MemoryRows(2, 1, 3, false, Bytes({3, 0}), rgb4, Bytes({255, 255, 0, 0})),
       white,
       3,
       2,
       Bytes({255, 0, 0, 0, 255, 0, 255, 255, 255, 255, 255, 255}),
       {},
       true,
       false,
       {{0xC0}}},
      {"an entry half clear is composed onto the page",
       MemoryRows(1, 1, 3, false, Bytes({0}), rgb4, Bytes({128})),
       yellow,
       3,
       2,
       Bytes({255, 115, 0, 0, 255, 0, 0, 0, 255, 9, 9, 9}),
       {},
       false,
       true,
       {{0x00}}},
      {"RGBA all opaque is plain RGB",
       MemoryRows(2, 1, 3, true, Bytes({1, 2, 3, 255, 4, 5, 6, 255})),
       white,
       3,
       8,
       "",
       {},
       false,
       false,
       {{1, 2, 3, 4, 5, 6}}},
      {"clear pixels take the page colour, which is the key when no opaque pixel has it",
       MemoryRows(2, 1, 3, true, Bytes({1, 2, 3, 0, 4, 5, 6, 255})),
       yellow,
       3,
       8,
       "",
       {255, 230, 0},
       false,
       false,
       {{255, 230, 0, 4, 5, 6}}},
      {"an opaque pixel of the page colour needs a mask",
       MemoryRows(2, 1, 3, true, Bytes({1, 2, 3, 0, 255, 255, 255, 255})),
       white,
       3,
       8,
       "",
       {},
       true,
       false,
       {{255, 255, 255, 255, 255, 255}}},
      {"partial alpha is composed",
       MemoryRows(2, 1, 3, true, Bytes({0, 0, 0, 128, 4, 5, 6, 255})),
       white,
       3,
       8,
       "",
       {},
       false,
       true,
       {{127, 127, 127, 4, 5, 6}}},
      {"grey with alpha on a coloured page becomes RGB",
       MemoryRows(2, 1, 1, true, Bytes({0, 128, 100, 255})),
       yellow,
       3,
       8,
       "",
       {},
       false,
       true,
       {{127, 115, 0, 100, 100, 100}}},
      {"grey with alpha on white stays grey",
       MemoryRows(2, 1, 1, true, Bytes({0, 0, 100, 255})),
       white,
       1,
       8,
       "",
       {255},
       false,
       false,
       {{255, 100}}},
      {"black and white in 1 bit",
       MemoryRows(10, 1, 1, false, Bytes({0, 255, 255, 0, 0, 0, 0, 0, 255, 0}), {}, {}, 1),
       white,
       1,
       1,
       "",
       {},
       false,
       false,
       {{0x60, 0x80}}},
  };
  test::TempDir dir;
  for (Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string path = dir / "p.zlib", mask_path = dir / "p.mask";
    LosslessPicture picture;
    std::string error;
    int write_error = 0;
    ASSERT_TRUE(
        WriteLosslessPicture(c.rows, c.page, path, mask_path, &picture, &error, &write_error))
        << error;
    EXPECT_EQ(picture.components, c.components);
    EXPECT_EQ(picture.form.bits, c.bits);
    EXPECT_EQ(picture.form.palette, c.palette);
    EXPECT_EQ(picture.form.color_key, c.key);
    EXPECT_EQ(!picture.form.mask_path.empty(), c.mask);
    EXPECT_EQ(std::filesystem::exists(mask_path), c.mask);  // an unused mask is not left behind
    EXPECT_EQ(picture.composed, c.composed);
    const bool indexed = !c.palette.empty();
    const size_t samples =
        static_cast<size_t>(c.rows.width()) * static_cast<size_t>(indexed ? 1 : c.components);
    const size_t row_bytes = (samples * static_cast<size_t>(c.bits) + 7) / 8;
    const int bpp = c.bits < 8 || indexed ? 1 : c.components;
    EXPECT_EQ(ReadBack(path, row_bytes, bpp), c.out);
    if (c.mask) {
      // 1 where the picture is clear.
      std::vector<std::vector<uint8_t>> mask = ReadBack(mask_path, 1, 1);
      ASSERT_EQ(mask.size(), 1u);
      EXPECT_EQ(mask[0][0], 0x80);
    }
    std::filesystem::remove(mask_path);
  }
}

// A picture that fails to decode half way leaves neither stream behind.
TEST(WriteLosslessPicture, LeavesNothingWhenThePictureBreaks) {
  test::TempDir dir;
  MemoryRows rows(2, 3, 3, true, Bytes({1, 2, 3, 0, 4, 5, 6, 255}));  // one row of three
  std::string error;
  int write_error = 0;
  EXPECT_FALSE(WriteLosslessPicture(rows, kWhite8, dir / "p.zlib", dir / "p.mask", nullptr, &error,
                                    &write_error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(write_error, 0);
  EXPECT_TRUE(test::ListFolder(dir.path()).empty());
}

// Flattened: what a JPEG and the album's thumbnails show.
TEST(Flattened, ComposesPaletteAndAlphaOntoTheBackground) {
  auto flat = [](std::unique_ptr<PixelRows> rows, Rgb8 background) {
    std::unique_ptr<PixelRows> f = Flattened(std::move(rows), background);
    std::vector<uint8_t> row(f->RowBytes());
    EXPECT_TRUE(f->Plain());
    EXPECT_TRUE(f->NextRow(row.data()));
    return std::make_pair(f->channels(), row);
  };
  const Rgb8 yellow = {255, 230, 0};
  using Row = std::vector<uint8_t>;
  EXPECT_EQ(flat(std::make_unique<MemoryRows>(2, 1, 1, false, Bytes({1, 0}),
                                              Bytes({10, 10, 10, 20, 20, 20}), Bytes({255, 0})),
                 kWhite8),
            std::make_pair(1, Row{255, 10}));
  EXPECT_EQ(flat(std::make_unique<MemoryRows>(2, 1, 1, false, Bytes({1, 0}),
                                              Bytes({10, 10, 10, 20, 20, 20}), Bytes({255, 0})),
                 yellow),
            std::make_pair(3, Row{255, 230, 0, 10, 10, 10}));
  EXPECT_EQ(
      flat(std::make_unique<MemoryRows>(2, 1, 3, true, Bytes({1, 2, 3, 0, 4, 5, 6, 255})), kWhite8),
      std::make_pair(3, Row{255, 255, 255, 4, 5, 6}));
  EXPECT_EQ(flat(std::make_unique<MemoryRows>(1, 1, 1, true, Bytes({0, 128})), kWhite8),
            std::make_pair(1, Row{127}));
}

}  // namespace
}  // namespace vellumox
