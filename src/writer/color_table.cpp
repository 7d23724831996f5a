#include "writer/color_table.h"

#include <charconv>

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

int ColorIndexOf(const Rgb& color) {
  for (size_t i = 0; i < ColorTable.size(); ++i) {
    if (RgbOf(ColorTable[i]) == color) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace vellumox
