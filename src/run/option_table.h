// The options of this platform's front end (the arguments that begin with two dashes), each
// declared once: its name, its value, its help and how it is completed. The parser and the
// option lines of --help are made from this table; the bash completion and the manual page are
// checked against it by the tests. A new option is a row here and its field in
// FrontEndOptions.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace vellumox {

struct FrontEndOptions;

// How an option's value is given and completed.
enum class OptionValue {
  kNone,    // a flag
  kNumber,  // "--name=N" or "--name N"
  kFile,    // "--name FILE" or "--name=FILE"
};

struct OptionSpec {
  std::string_view name;  // "--keep-jpeg"
  OptionValue value = OptionValue::kNone;
  std::string_view value_name;  // in the help: "N", "FILE", "DIR"
  std::string_view shown;       // how the help names it, when not by its name and value
  // The help, a line or more; a line break goes on under the help's column.
  std::string_view help;
  // A flag's field, or the handler of a value (false with options.error set when it is bad).
  bool FrontEndOptions::*flag = nullptr;
  bool (*take_value)(FrontEndOptions& options, std::string_view value) = nullptr;
  bool offered = true;  // offered by the completion (not the album builder's own)
};

// Every option, in the order --help tells them.
std::span<const OptionSpec> FrontEndOptionTable();
// The row of an argument ("--jpeg-quality=90" finds --jpeg-quality), or nullptr.
const OptionSpec* FindOption(std::string_view argument);
// The option lines of --help.
std::string OptionHelpLines();

}  // namespace vellumox
