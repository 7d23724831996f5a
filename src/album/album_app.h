// The album builder's start-up, with its window or without one.
#pragma once

#include <string>
#include <vector>

namespace vellumox {

// Runs the album builder on its arguments; the exit status. With a display and no "/o" the
// window opens (a QApplication is made here); with "/o" the list is written and the converter
// started, and the program ends at once, or, without a display, when the converter has ended,
// with its status.
int RunAlbum(int argc, char** argv);

}  // namespace vellumox
