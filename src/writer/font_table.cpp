#include "writer/font_table.h"

#include "writer/path_names.h"

namespace vellumox {

int FontIndexOf(std::string_view font_name) {
  std::string lower = ToLowerAscii(font_name);
  for (int i = 0; i < kFontCount; ++i) {
    if (FontTable[i].lookup == lower) return i;
  }
  return -1;
}

FaceStyle FaceStyleOf(int index) {
  if (index < 0 || index >= kFontCount) return FaceStyle();
  static constexpr FontClass kGroups[] = {FontClass::kMonospace, FontClass::kSerif,
                                          FontClass::kSans, FontClass::kSans,
                                          FontClass::kMonospace};
  return FaceStyle{kGroups[index / 4], index % 4 >= 2, index % 2 == 1};
}

double FontWidthFactor(std::string_view font_name) {
  int index = FontIndexOf(font_name);
  return index < 0 ? kUnknownFontWidthFactor : FontTable[index].width_factor;
}

}  // namespace vellumox
