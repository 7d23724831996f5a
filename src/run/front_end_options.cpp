#include "run/front_end_options.h"

#include "conversion/job_events.h"
#include "run/command_line.h"
#include "run/controls_model.h"
#include "run/option_table.h"
#include "run/switch_table.h"
#include "writer/number_text.h"

namespace vellumox {

FrontEndOptions ParseFrontEndOptions(const std::vector<std::string>& args) {
  FrontEndOptions options;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--") {
      options.literal_inputs.assign(args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
      break;
    }
    if (arg == "-") {
      options.stdin_input = true;
    } else if ((arg == "-o" || arg == "-O") && i + 1 < args.size() && args[i + 1] == "-") {
      options.stdout_output = true;
      ++i;
    } else if (IsStandaloneTextSwitch(arg)) {
      // Its value is the next argument, whatever it holds: a title "--batch" is a title.
      options.arguments.push_back(arg);
      if (i + 1 < args.size()) options.arguments.push_back(args[++i]);
    } else if (arg == "-o-" || arg == "-O-") {
      options.stdout_output = true;
    } else if (arg.rfind("--", 0) != 0) {
      options.arguments.push_back(arg);
    } else if (const OptionSpec* spec = FindOption(arg); !spec) {
      if (options.error.empty()) options.error = "unknown option " + arg + " (see --help)";
    } else if (spec->value == OptionValue::kNone) {
      if (arg.size() > spec->name.size() && options.error.empty()) {
        options.error = std::string(spec->name) + " takes no value: " + arg;
      }
      options.*(spec->flag) = true;
    } else {
      // The value follows "=" or comes as the next argument.
      const std::string value = arg.size() > spec->name.size()
                                    ? arg.substr(spec->name.size() + 1)
                                    : (i + 1 < args.size() ? args[++i] : "");
      FrontEndOptions taken = options;
      if (spec->take_value(taken, value)) {
        options = std::move(taken);
      } else if (options.error.empty()) {
        options.error = taken.error;
      }
    }
  }
  if (options.open && options.batch && options.error.empty()) {
    options.error = "--open opens the window on the input: it does not go with --batch";
  }
  return options;
}

namespace {

// The ISO name of a page size as pagesize.ini writes it, for the help: "A4" for 8.27" x 11.69".
std::string_view PaperName(std::string_view entry) {
  if (entry == "8.27\" x 11.69\"") return " (A4)";
  if (entry == "11.69\" x 16.54\"") return " (A3)";
  if (entry == "5.83\" x 8.27\"") return " (A5)";
  return "";
}

// "  -f  0 name, 1 name, ..." wrapped before 100 columns.
std::string ValueList(const char* switch_name, const ListControl& list) {
  std::string out = "  " + std::string(switch_name) + "  ";
  size_t column = out.size();
  for (int i = 0; i < list.Count(); ++i) {
    const std::string& entry = list.entries[static_cast<size_t>(i)];
    const std::string item = std::to_string(i) + " " + entry + std::string(PaperName(entry));
    if (i > 0) {
      out += ",";
      column += 1;
      if (column + 1 + item.size() > 98) {
        out += "\n       ";
        column = 7;
      }
      out += " ";
      column += 1;
    }
    out += item;
    column += item.size();
  }
  return out + "\n";
}

// The values of every index switch.
std::string ValueLists(const ConverterControls& c) {
  std::string out;
  for (const IndexSwitch& s : kIndexSwitches) {
    out += ValueList((std::string("-") + s.letter).c_str(), c.*(s.list));
  }
  return out;
}

}  // namespace

std::string LongHelpText(const ConverterControls& c) {
  return MessageLines(HelpText()) + "\n\nValues of the index switches:\n" + ValueLists(c) +
         "\n"
         "Options of this platform:\n" +
         OptionHelpLines() +
         "--                   the end of switches and options: what follows is the input\n"
         "-                    as the input: standard input (needs -o FILE or -o -)\n"
         "-o -                 the PDF to standard output\n"
         "Several inputs (vellumox --batch *.txt) each convert to their own PDF.\n"
         "A pattern ('/pics/*.jpg') takes its files in natural order (p2 before p10, letters\n"
         "without case); -o names the album of a picture pattern (.pdf added when missing),\n"
         "and is refused with a text pattern, which makes one PDF per file.\n"
         "\n"
         "Exit status: 0 when every conversion wrote its PDF, 1 when a conversion reported an\n"
         "error, 2 when the command line named nothing to convert, 3 when every PDF was written\n"
         "but a picture was left out or a character had no font (each is named on standard\n"
         "error), 128 + the signal when\n"
         "SIGINT, SIGTERM or SIGHUP ended the run (the partial PDF removed), 141 when the\n"
         "reader of -o - went away.\n";
}

}  // namespace vellumox
