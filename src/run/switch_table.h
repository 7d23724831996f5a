// The converter's switches, each declared once with the control it sets and the key under which
// the settings keep that control: the command line, the settings store and the help of the
// index switches' values all read these tables. A new switch is a row here (and its control).
#pragma once

#include <string>

#include "run/controls_model.h"

namespace vellumox {

// "-f3": selects entry 3 of a list.
struct IndexSwitch {
  char letter;
  ListControl ConverterControls::*list;
  const char* key;   // in the settings
  int first_start;   // the entry selected when nothing is stored
  const char* what;  // in messages: "a font size 99 ..."
};
inline constexpr IndexSwitch kIndexSwitches[] = {
    {'f', &ConverterControls::cmbFont, "Font", 4, "font"},
    {'s', &ConverterControls::cmbFontSize, "FontSize", 6, "font size"},
    {'r', &ConverterControls::cmbRotation, "Rotation", 0, "rotation"},
    {'p', &ConverterControls::cmbPageSize, "PageSize", 0, "page size"},
    {'m', &ConverterControls::cmbMargin, "Margin", 1, "left margin"},
    {'y', &ConverterControls::cmbTopMargin, "TopMargin", 2, "top margin"},
    {'c', &ConverterControls::cmbForeColor, "ForeColor", 0, "font colour"},
    {'b', &ConverterControls::cmbBackColor, "BackColor", 7, "background colour"},
    {'x', &ConverterControls::cmbTransition, "Transition", 0, "transition"},
};

// "-tTitle" or "-t Title": sets a text field; key is empty for a field the settings never keep.
struct TextSwitch {
  char letter;
  std::string ConverterControls::*field;
  const char* key;
};
inline constexpr TextSwitch kTextSwitches[] = {
    {'a', &ConverterControls::txtAuthor, "Author"},
    {'k', &ConverterControls::txtKeywords, "Keywords"},
    {'z', &ConverterControls::txtSubject, "Subject"},
    {'t', &ConverterControls::txtTitle, "Title"},
    {'o', &ConverterControls::txtOutputFile, ""},
};

// "-h": sets a check box to value. -u does what its help line says: the PDF opens in
// full-screen mode.
struct FlagSwitch {
  char letter;
  bool ConverterControls::*box;
  bool value;
  const char* key;
  const char* first_start;  // the stored state when nothing is stored: "1" or "0"
};
inline constexpr FlagSwitch kFlagSwitches[] = {
    {'h', &ConverterControls::chkFormatHeaders, false, "Formatting", "1"},
    {'n', &ConverterControls::chkPageNum, false, "PageNum", "1"},
    {'u', &ConverterControls::chkFullScreen, true, "FullScreen", "0"},
};

}  // namespace vellumox
