// Running the converter without a window: the command line is applied to the controls and
// converted; messages go to standard error, questions take their default answer ("No").
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vellumox {

// The options of this platform's front end (arguments that begin with two dashes), and the
// other arguments.
struct FrontEndOptions {
  bool batch = false;
  bool version = false;
  bool help = false;
  bool keep_jpeg = false;
  std::optional<int> jpeg_quality;
  std::vector<std::string> arguments;
  std::string error;  // an unknown or malformed option
};

FrontEndOptions ParseFrontEndOptions(const std::vector<std::string>& args);

// True when no window can be shown: neither DISPLAY nor WAYLAND_DISPLAY is set.
bool NoDisplay();

// --help: the help of "-?", these options and the exit statuses.
std::string LongHelpText();

// Exit statuses.
inline constexpr int kExitDone = 0;     // every conversion wrote its PDF
inline constexpr int kExitFailed = 1;   // a conversion reported an error
inline constexpr int kExitNothing = 2;  // nothing to convert, or a bad option

// Runs the command line without a window. program_folder holds the optional files.
int RunBatch(const FrontEndOptions& options, const std::string& program_folder);

}  // namespace vellumox
