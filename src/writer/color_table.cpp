#include "writer/color_table.h"

namespace vellumox {

std::string_view ColorOperands(int16_t index) {
  if (index < 1 || index >= static_cast<int16_t>(ColorTable.size())) return ColorTable[0].operands;
  return ColorTable[index].operands;
}

}  // namespace vellumox
