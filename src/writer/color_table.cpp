#include "writer/color_table.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace vellumox {

std::string_view ColorOperands(int16_t index) {
  if (index < 1 || index >= static_cast<int16_t>(ColorTable.size())) return ColorTable[0].operands;
  return ColorTable[index].operands;
}

Rgb RgbOf(const ColorEntry& entry) {
  double parts[3] = {0, 0, 0};
  const char* p = entry.operands.data();
  const char* end = p + entry.operands.size();
  for (double& part : parts) {
    while (p < end && *p == ' ') ++p;
    p = std::from_chars(p, end, part).ptr;
  }
  return Rgb{parts[0], parts[1], parts[2]};
}

std::array<uint8_t, 3> ColorBytesOf(int16_t index) {
  const Rgb color = RgbOf(ColorEntry{"", ColorOperands(index)});
  auto byte = [](double part) {
    return static_cast<uint8_t>(std::lround(std::clamp(part, 0.0, 1.0) * 255));
  };
  return {byte(color.red), byte(color.green), byte(color.blue)};
}

int ColorIndexOf(const Rgb& color) {
  for (size_t i = 0; i < ColorTable.size(); ++i) {
    if (RgbOf(ColorTable[i]) == color) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace vellumox
