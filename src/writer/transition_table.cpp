#include "writer/transition_table.h"

#include <string>

namespace vellumox {

std::string TransitionLine(int16_t index) {
  if (index < 1 || index >= static_cast<int16_t>(TransitionTable.size())) return std::string();
  return "/Trans << /Type /Trans /S /" + std::string(TransitionTable[index].style);
}

}  // namespace vellumox
