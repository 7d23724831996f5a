// The colours of the window's text and background lists, as operands of the "rg" operator.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace vellumox {

struct ColorEntry {
  std::string_view name;
  std::string_view operands;  // red green blue; two entries keep a trailing blank
};

inline constexpr std::array<ColorEntry, 24> ColorTable = {{
    {"Black", "0 0 0"},
    {"Blue", "0 0 1"},
    {"Green", "0 0.8 0"},
    {"Cyan", "0 0.8 0.8"},
    {"Red", "1 0 0"},
    {"Magenta", "1 0 1"},
    {"Yellow", "1 0.9 0 "},
    {"White", "1 1 1"},
    {"Gray", "0.8 0.8 0.8"},
    {"Navy Blue", "0 0 0.5"},
    {"Dark Green", "0 0.3 0"},
    {"Dark Cyan", "0 0.5 0.5"},
    {"Dark Red", "0.7 0 0"},
    {"Dark Magenta", "0.5 0 0.5"},
    {"Brown", "0.6 0.3 0"},
    {"Light Gray", "0.9 0.9 0.9"},
    {"Dark Gray", "0.4 0.4 0.4"},
    {"Light Blue", "0.3 0.6 0.9"},
    {"Light Green", "0 0.9 0"},
    {"Light Cyan", "0 1 1"},
    {"Light Orange", "0.9 0.6 0.3"},
    {"Purple", "0.6 0.1 0.9 "},
    {"Light yellow", "1 1 0.8"},
    {"Orange", "1 0.5 0"},
}};

// A colour of the table as red, green and blue from 0 to 1.
struct Rgb {
  double red = 0, green = 0, blue = 0;
  bool operator==(const Rgb&) const = default;
};
// The colour at a table position, read from its operands.
Rgb RgbOf(const ColorEntry& entry);
// The colour that ColorOperands(index) paints, as bytes of 0 to 255 (0.8 is 204).
std::array<uint8_t, 3> ColorBytesOf(int16_t index);
// The table position of a colour, -1 when the table has none such.
int ColorIndexOf(const Rgb& color);

// Named positions used by the markup and the settings.
namespace color_index {
inline constexpr int kBlack = 0;
inline constexpr int kBlue = 1;
inline constexpr int kGreen = 2;
inline constexpr int kCyan = 3;
inline constexpr int kRed = 4;
inline constexpr int kMagenta = 5;
inline constexpr int kYellow = 6;
inline constexpr int kWhite = 7;
inline constexpr int kGray = 8;
inline constexpr int kNavyBlue = 9;
inline constexpr int kDarkGreen = 10;
inline constexpr int kDarkCyan = 11;
inline constexpr int kDarkRed = 12;
inline constexpr int kDarkMagenta = 13;
inline constexpr int kBrown = 14;
inline constexpr int kLightGray = 15;
inline constexpr int kDarkGray = 16;
inline constexpr int kLightBlue = 17;
inline constexpr int kLightGreen = 18;
inline constexpr int kLightCyan = 19;
inline constexpr int kLightOrange = 20;
inline constexpr int kPurple = 21;
inline constexpr int kLightYellow = 22;
inline constexpr int kOrange = 23;
}  // namespace color_index

// The operand text of a colour index; any index outside 1 to 23 (-1 included) gives Black.
std::string_view ColorOperands(int16_t index);

}  // namespace vellumox
