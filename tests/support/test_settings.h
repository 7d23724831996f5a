// The document settings that the tests start from.
#pragma once

#include <cstdint>
#include <string>

#include "writer/conversion_settings.h"

namespace vellumox::test {

// Courier at size points on a letter page with half-inch left and top margins: at 10 pt the
// page holds 60 lines, at 12 pt 50 lines of 77 characters.
inline ConversionSettings CourierSettings(int16_t size = 10, const std::string& output = "",
                                          bool page_numbers = true) {
  ConversionSettings s;
  s.outputfile = output;
  s.FontName = "Courier";
  s.FontSize = size;
  s.Margin = 0.5f;
  s.TopMargin = 0.5f;
  s.ShowPageNum = page_numbers;
  return s;
}

}  // namespace vellumox::test
