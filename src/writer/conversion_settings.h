// The 19 settings of one document, in the order in which the converter hands them over.
#pragma once

#include <cstdint>
#include <string>

namespace vellumox {

// Texts are UTF-8, as the platform gives them; sizes and margins in inches, the font size in
// points, colours and transition as list positions. The defaults are the converter's first-start
// choices.
struct ConversionSettings {
  std::string outputfile;
  std::string TextAuthor;
  std::string TextCreator;
  std::string TextKeywords;
  std::string TextSubject;
  std::string TextTitle;
  std::string FontName = "Times-Roman";
  int16_t FontSize = 10;
  int16_t Rotation = 0;
  float pwidth = 8.5f;
  float pheight = 11.0f;
  float Margin = 0.25f;
  int16_t ForeColorIndex = 0;
  int16_t BackColorIndex = 7;
  bool ShowPageNum = true;
  bool UseTextFormating = true;
  int16_t TransitionMode = 0;
  bool FullScreen = false;
  float TopMargin = 0.5f;
  // Not one of the 19: the page contents compressed with Flate, a choice of a single run.
  bool Compress = false;
};

}  // namespace vellumox
