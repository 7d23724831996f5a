#include "images/lossless_picture.h"

#include <gtest/gtest.h>

#include <vector>

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

}  // namespace
}  // namespace vellumox
