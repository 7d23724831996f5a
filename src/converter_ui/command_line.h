// The converter's command line: one text in which switches are found and cut out, the rest
// naming the input. Switches write into the controls, exactly as the user's choices would.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "converter_ui/controls_model.h"

namespace vellumox {

// The help of "-?": lines joined by a carriage return.
std::string HelpText();

// Joins the program's arguments into one command-line text. A text switch (-a, -k, -z, -t, -o)
// whose value has no opening quote gets its value quoted (a switch standing alone takes the next
// argument, an empty one too); any other argument with a blank is quoted.
std::string JoinArguments(const std::vector<std::string>& args);

// The names in what the switches left, as the arguments gave them: split at blanks outside
// double quotes, the quotes taken off (several inputs, as the shell expands "*.txt").
std::vector<std::string> SplitInputs(const std::string& command_line_text);

enum class CommandLineOutcome {
  kHelp,     // "-?": show the help and close
  kConvert,  // the remainder names an input: convert it unattended
  kNothing,  // nothing to convert: the window opens with the switches applied
};

// Applies the switches to the controls and leaves in command_line_text what remains (the input
// name). A switch counts only where it begins a word (at the start or after a blank) outside
// double quotes. literal_input, when given, is an input name that holds no switches (what
// followed "--"): it is added to what remains. An index switch whose value is no entry of its
// list is ignored and described in *warnings.
CommandLineOutcome ApplyCommandLine(std::string& command_line_text, ConverterControls& controls,
                                    const std::string* literal_input = nullptr,
                                    std::vector<std::string>* warnings = nullptr);

}  // namespace vellumox
