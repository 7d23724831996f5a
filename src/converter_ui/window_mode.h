// Running the converter with its window: the start-up with the splash, the window, and the
// close path with the about window.
#pragma once

#include <string>

#include "run/front_end_options.h"

namespace vellumox {

// Runs the window until the program ends; a QApplication must exist. The exit status is 0, or 1
// when a conversion started from the command line failed.
int RunWindow(const FrontEndOptions& options, const std::string& program_folder);

}  // namespace vellumox
