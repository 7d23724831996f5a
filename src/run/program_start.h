// What the converter's two programs do first, the same in both: the album builder's list
// folder taken over, a bad option refused, and the options that only answer (--help,
// --version, --formats) answered; and whether the run is unattended.
#pragma once

#include <optional>

#include "platform/private_folder.h"
#include "run/front_end_options.h"

namespace vellumox {

// The program that shows the converter's window, beside the batch converter.
inline constexpr const char* kWindowProgram = "vellumox-window";

// The exit status when the run ends with the options alone; nullopt when it goes on.
// list_folder takes over the album builder's folder of its list (--list-folder), which then
// goes when the run ends, whichever way it ends.
std::optional<int> AnswerOptions(const FrontEndOptions& options, PrivateFolder& list_folder);

// A run without a window: asked for (--batch), standard input or output in use (pipes are
// unattended whether a display is there or not), or no display.
bool Unattended(const FrontEndOptions& options);

}  // namespace vellumox
