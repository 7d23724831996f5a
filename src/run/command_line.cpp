#include "run/command_line.h"

#include <iterator>

#include "platform/file_system.h"
#include "platform/product.h"
#include "run/switch_table.h"
#include "writer/number_text.h"
#include "writer/path_names.h"

namespace vellumox {

namespace {

constexpr const char* kHelpLines[] = {
    "Command line syntax:",
    "%PROGRAM% [comboparms] [textparms] [filename]",
    "",
    "[comboparms]",
    "-f#  Select font. ie: -f0",
    "-s#  Select font size. ie: -s3",
    "-r#  Select page rotation. ie: -r2",
    "-m#  Select page left margin. ie: -m1",
    "-y#  Select page top margin. ie: -y1",
    "-p#  Select page size. ie: -p0",
    "-c#  Select font color. ie: -c5",
    "-b#  Select background color. ie: -b7",
    "",
    "-x   Select transition mode. ie: -x0",
    "-h   Disable pseudo-html formating",
    "-n   Disable page number",
    "-u   Start PDF in full screen mode",
    "[textparms]",
    "-a\"author name\"",
    "-k\"keywords\"",
    "-z\"subject\"",
    "-t\"Title\"",
    "-o\"outputfile.pdf\"",
};

}  // namespace

std::string SwitchLetters() {
  std::string letters;
  for (const IndexSwitch& s : kIndexSwitches) letters += s.letter;
  for (const FlagSwitch& s : kFlagSwitches) letters += s.letter;
  for (const TextSwitch& s : kTextSwitches) letters += s.letter;
  return letters;
}

namespace {

char SwitchLetter(std::string_view arg) {
  if (arg.size() < 2 || arg[0] != '-') return '\0';
  const char c = arg[1];
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

template <class Table>
auto FindSwitch(const Table& table, char letter) -> decltype(&table[0]) {
  for (const auto& entry : table) {
    if (entry.letter == letter) return &entry;
  }
  return nullptr;
}

// An argument as a message shows it: a long one is cut short (a warning must stay one line).
std::string Shown(std::string_view arg) {
  constexpr size_t kMost = 40;
  if (arg.size() <= kMost) return std::string(arg);
  size_t cut = kMost;
  while (cut > 0 && (static_cast<unsigned char>(arg[cut]) & 0xC0) == 0x80) --cut;
  return std::string(arg.substr(0, cut)) + "...";
}

// The value of an index switch: a number read leniently from its first digit on ("-f3" and
// "-f3x" both give 3), nothing when the value does not start with a digit.
void ApplyIndexSwitch(const IndexSwitch& s, std::string_view arg, ConverterControls& c,
                      std::vector<std::string>& warnings) {
  ListControl& list = c.*(s.list);
  const std::string range = " (0 to " + std::to_string(list.Count() - 1) + ")";
  const std::string_view value = arg.substr(2);
  if (value.empty()) {
    warnings.push_back(Shown(arg) + ": a " + s.what + range +
                       " must follow the switch; the switch is ignored");
    return;
  }
  if (value[0] < '0' || value[0] > '9') {
    warnings.push_back(Shown(arg) + ": '" + Shown(value) + "' is not a valid " + s.what + range +
                       "; the switch is ignored");
    return;
  }
  const double number = ReadNumber(value);
  std::optional<int16_t> index = RoundToInt16(number);
  if (!(index && list.Select(*index))) {
    warnings.push_back(Shown(arg) + ": there is no " + s.what + " " + FormatNumber(number) + range +
                       "; the switch is ignored");
  }
}

// The value of a text switch written in one argument with the quotes of the switch's own
// syntax (-t"Title") loses them; any other value is taken as it is.
std::string OneArgumentValue(std::string_view arg) {
  std::string_view value = arg.substr(2);
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
    value = value.substr(1, value.size() - 2);
  }
  return std::string(value);
}

bool IsHelp(std::string_view arg) {
  return arg.size() >= 2 && arg[0] == '-' && arg[1] == '?';
}

}  // namespace

std::string HelpText() {
  std::string text;
  for (size_t i = 0; i < std::size(kHelpLines); ++i) {
    if (i > 0) text += '\r';
    text += kHelpLines[i];
  }
  // The syntax line names the program as it is installed.
  const std::string_view placeholder = "%PROGRAM%";
  text.replace(text.find(placeholder), placeholder.size(), kConverterProgram);
  return text;
}

bool IsStandaloneTextSwitch(std::string_view argument) {
  return argument.size() == 2 && FindSwitch(kTextSwitches, SwitchLetter(argument)) != nullptr;
}

CommandLine ApplyCommandLine(const std::vector<std::string>& arguments, ConverterControls& c,
                             const std::vector<std::string>& literal_inputs) {
  CommandLine line;
  // "-?" anywhere shows the help and nothing else is applied; a text switch's value is no
  // switch, so a title "-?" is only a title.
  for (size_t i = 0; i < arguments.size(); ++i) {
    if (IsHelp(arguments[i])) {
      line.outcome = CommandLineOutcome::kHelp;
      return line;
    }
    if (IsStandaloneTextSwitch(arguments[i])) ++i;
  }
  std::string seen;  // the letters of the switches applied so far
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& arg = arguments[i];
    const char letter = SwitchLetter(arg);
    const IndexSwitch* index = FindSwitch(kIndexSwitches, letter);
    const TextSwitch* text = FindSwitch(kTextSwitches, letter);
    const FlagSwitch* flag = FindSwitch(kFlagSwitches, letter);
    if (!index && !text && !flag) {
      line.inputs.push_back(arg);
      continue;
    }
    const bool standalone_value = text && arg.size() == 2 && i + 1 < arguments.size();
    if (seen.find(letter) != std::string::npos) {
      // Only the first occurrence counts; a repeated switch stays with the input, which then
      // names no file.
      line.warnings.push_back(Shown(arg) + ": the switch -" + std::string(1, letter) +
                              " is given twice; only the first counts");
      line.inputs.push_back(arg);
      if (standalone_value) line.inputs.push_back(arguments[++i]);
      continue;
    }
    seen += letter;
    line.switches.push_back(arg);
    if (index) {
      ApplyIndexSwitch(*index, arg, c, line.warnings);
    } else if (flag) {
      c.*(flag->box) = flag->value;
    } else if (arg.size() > 2 || standalone_value) {
      const std::string value = arg.size() > 2 ? OneArgumentValue(arg) : arguments[++i];
      if (arg.size() == 2) line.switches.back() += " " + value;
      c.*(text->field) = value;
      if (letter == 'o') {
        line.output_named = c.output_named = true;
        line.output = value;
      }
    } else {
      line.warnings.push_back(Shown(arg) +
                              ": a value must follow the switch; the switch is ignored");
    }
  }
  line.inputs.insert(line.inputs.end(), literal_inputs.begin(), literal_inputs.end());
  for (size_t i = 0; i < line.inputs.size(); ++i) {
    if (i > 0) line.text += ' ';
    line.text += line.inputs[i];
  }
  if (FileExists(line.text) || line.text.find('*') != std::string::npos) {
    c.txtFilename = line.text;
    if (!EndsWithIgnoreCase(c.txtOutputFile, ".pdf")) {
      c.txtOutputFile = WithPdfExtension(line.text, ".pdf");
    }
    line.outcome = CommandLineOutcome::kConvert;
  }
  return line;
}

}  // namespace vellumox
