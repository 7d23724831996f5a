#include "converter_ui/command_line.h"

#include <iterator>

#include "platform/file_system.h"
#include "platform/product.h"
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

constexpr const char* kTextSwitches[] = {"-a", "-k", "-z", "-t", "-o"};

void Trim(std::string& text) {
  size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) {
    text.clear();
    return;
  }
  text = text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// Whether position at lies inside double quotes: an odd number of them comes before it.
bool InsideQuotes(const std::string& text, size_t at) {
  size_t quotes = 0;
  for (size_t i = 0; i < at; ++i) quotes += text[i] == '"';
  return quotes % 2 == 1;
}

// The first occurrence of a switch that begins a word outside quoted text (a title may well
// hold "-b2b"), letters without regard to case.
size_t FindSwitch(const std::string& text, std::string_view name) {
  for (size_t at = FindIgnoreCase(text, name); at != std::string::npos;
       at = FindIgnoreCase(text, name, at + 1)) {
    if ((at == 0 || text[at - 1] == ' ') && !InsideQuotes(text, at)) return at;
  }
  return std::string::npos;
}

// Cuts from at up to the first blank at or after it (the blank stays).
void CutToken(std::string& text, size_t at) {
  size_t blank = text.find(' ', at);
  text = text.substr(0, at) + (blank == std::string::npos ? std::string() : text.substr(blank));
}

void ApplyIndexSwitch(std::string& text, std::string_view name, ListControl& list,
                      std::string_view what, std::vector<std::string>* warnings) {
  size_t at = FindSwitch(text, name);
  if (at != std::string::npos && at + 2 < text.size() && text[at + 2] >= '0' &&
      text[at + 2] <= '9') {
    const double number = ReadNumber(std::string_view(text).substr(at + 2));
    std::optional<int16_t> index = RoundToInt16(number);
    if (!(index && list.Select(*index)) && warnings) {
      warnings->push_back(std::string(name) + FormatNumber(number) + ": there is no " +
                          std::string(what) + " " + FormatNumber(number) + " (0 to " +
                          std::to_string(list.Count() - 1) + "); the switch is ignored");
    }
    CutToken(text, at);
  }
  Trim(text);
}

void ApplyTextSwitch(std::string& text, std::string_view name, std::string& field) {
  size_t at = FindSwitch(text, name);
  if (at != std::string::npos && at + 2 < text.size() && text[at + 2] == '"') {
    size_t close = text.find('"', at + 3);
    if (close == std::string::npos) {
      field = text.substr(at + 3);
      text = text.substr(0, at);
    } else {
      field = text.substr(at + 3, close - at - 3);
      text = text.substr(0, at) + text.substr(close + 1);
    }
  }
  Trim(text);
}

void ApplyCheckSwitch(std::string& text, std::string_view name, bool& box, bool value) {
  size_t at = FindSwitch(text, name);
  if (at != std::string::npos) {
    box = value;
    CutToken(text, at);
  }
  Trim(text);
}

bool StartsWithTextSwitch(const std::string& arg) {
  for (const char* s : kTextSwitches) {
    if (arg.size() >= 2 && EqualsIgnoreCase(arg.substr(0, 2), s)) return true;
  }
  return false;
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

std::string JoinArguments(const std::vector<std::string>& args) {
  std::string joined;
  for (size_t i = 0; i < args.size(); ++i) {
    std::string arg = args[i];
    if (StartsWithTextSwitch(arg)) {
      if (arg.size() == 2 && i + 1 < args.size()) {
        // The value is the next argument, even an empty one ("-t ''" clears the title).
        const std::string& value = args[++i];
        arg += value.empty() || value[0] != '"' ? "\"" + value + "\"" : value;
      }
      if (arg.size() > 2 && arg[2] != '"') arg = arg.substr(0, 2) + "\"" + arg.substr(2) + "\"";
    } else if (arg.find(' ') != std::string::npos) {
      arg = "\"" + arg + "\"";
    }
    if (!joined.empty()) joined += ' ';
    joined += arg;
  }
  return joined;
}

std::vector<std::string> SplitInputs(const std::string& text) {
  std::vector<std::string> names;
  std::string name;
  bool quoted = false, started = false;
  for (char c : text) {
    if (c == '"') {
      quoted = !quoted;
      started = true;
    } else if (c == ' ' && !quoted) {
      if (started) names.push_back(name);
      name.clear();
      started = false;
    } else {
      name += c;
      started = true;
    }
  }
  if (started) names.push_back(name);
  return names;
}

CommandLineOutcome ApplyCommandLine(std::string& text, ConverterControls& c,
                                    const std::string* literal_input,
                                    std::vector<std::string>* warnings) {
  Trim(text);
  if (FindSwitch(text, "-?") != std::string::npos) return CommandLineOutcome::kHelp;
  ApplyIndexSwitch(text, "-f", c.cmbFont, "font", warnings);
  ApplyIndexSwitch(text, "-s", c.cmbFontSize, "font size", warnings);
  ApplyIndexSwitch(text, "-r", c.cmbRotation, "rotation", warnings);
  ApplyIndexSwitch(text, "-p", c.cmbPageSize, "page size", warnings);
  ApplyIndexSwitch(text, "-m", c.cmbMargin, "left margin", warnings);
  ApplyIndexSwitch(text, "-c", c.cmbForeColor, "font colour", warnings);
  ApplyIndexSwitch(text, "-b", c.cmbBackColor, "background colour", warnings);
  ApplyIndexSwitch(text, "-x", c.cmbTransition, "transition", warnings);
  ApplyIndexSwitch(text, "-y", c.cmbTopMargin, "top margin", warnings);
  ApplyTextSwitch(text, "-a", c.txtAuthor);
  ApplyTextSwitch(text, "-k", c.txtKeywords);
  ApplyTextSwitch(text, "-z", c.txtSubject);
  ApplyTextSwitch(text, "-t", c.txtTitle);
  ApplyTextSwitch(text, "-o", c.txtOutputFile);
  ApplyCheckSwitch(text, "-h", c.chkFormatHeaders, false);
  ApplyCheckSwitch(text, "-n", c.chkPageNum, false);
  // -u does what its help line says: the PDF opens in full-screen mode.
  ApplyCheckSwitch(text, "-u", c.chkFullScreen, true);
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
    text = text.substr(1, text.size() - 2);
  }
  if (literal_input) text = text.empty() ? *literal_input : text + " " + *literal_input;
  if (FileExists(text) || text.find('*') != std::string::npos) {
    c.txtFilename = text;
    if (!EndsWithIgnoreCase(c.txtOutputFile, ".pdf")) {
      c.txtOutputFile = WithPdfExtension(text, ".pdf");
    }
    return CommandLineOutcome::kConvert;
  }
  return CommandLineOutcome::kNothing;
}

}  // namespace vellumox
