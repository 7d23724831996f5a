// The converter's command line: its arguments, read one by one. A switch is an argument that
// begins with one ("-f0", "-tTitle", or a text switch standing alone, which takes the next
// argument as its value); every other argument is part of the input. The text of an argument is
// never split or read again for switches or quotes, whatever characters it holds, so a file
// name or a title is always what the user typed. Switches write into the controls, exactly as
// the user's choices would.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "run/controls_model.h"

namespace vellumox {

// The help of "-?": lines joined by a carriage return.
std::string HelpText();

// The letters of every switch: the index switches, the flags and the text switches.
std::string SwitchLetters();

// Whether an argument is a text switch standing alone ("-a", "-k", "-z", "-t", "-o" in either
// letter case): the next argument is its value, whatever it holds (an empty one included).
bool IsStandaloneTextSwitch(std::string_view argument);

enum class CommandLineOutcome {
  kHelp,     // "-?": show the help and close
  kConvert,  // the input names a file or a pattern: convert it unattended
  kNothing,  // nothing to convert: the window opens with the switches applied
};

struct CommandLine {
  CommandLineOutcome outcome = CommandLineOutcome::kNothing;
  // The arguments that are no switch, in their order (a repeated switch among them, which so
  // keeps the rest from naming a file), then those that followed "--".
  std::vector<std::string> inputs;
  // The inputs joined by single blanks: what the command line names (CommandLineText).
  std::string text;
  // Switches that were ignored: a value that names no entry of its list, a repeated switch.
  std::vector<std::string> warnings;
  // The switches applied, as typed (a text switch standing alone with its value).
  std::vector<std::string> switches;
  // Whether -o named an output, and the name as given (before the output of a single input is
  // derived from the input).
  bool output_named = false;
  std::string output;
};

// Applies the switches of the arguments to the controls. literal_inputs (what followed "--")
// are inputs and never switches. With "-?" nothing else is applied. When the inputs together
// name a file or hold "*", that is the input of the conversion and the output is derived from
// it unless it ends in ".pdf".
CommandLine ApplyCommandLine(const std::vector<std::string>& arguments, ConverterControls& controls,
                             const std::vector<std::string>& literal_inputs = {});

}  // namespace vellumox
