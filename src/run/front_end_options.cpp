#include "run/front_end_options.h"

#include "conversion/job_events.h"
#include "run/command_line.h"
#include "run/controls_model.h"
#include "writer/number_text.h"

namespace vellumox {

namespace {

std::optional<int> JpegQuality(std::string_view text) {
  std::optional<double> n = ParseNumberValue(text);
  if (!n || *n != static_cast<int>(*n) || *n < kJpegQualityMin || *n > kJpegQualityMax) {
    return std::nullopt;
  }
  return static_cast<int>(*n);
}

}  // namespace

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
    } else if (arg == "--batch") {
      options.batch = true;
    } else if (arg == "--version") {
      options.version = true;
    } else if (arg == "--formats") {
      options.formats = true;
    } else if (arg == "--help") {
      options.help = true;
    } else if (arg == "--keep-jpeg") {
      options.keep_jpeg = true;
    } else if (arg == "--album-list") {
      options.album_list = true;
    } else if (arg == "--quiet") {
      options.quiet = true;
    } else if (arg == "--progress") {
      options.progress = true;
    } else if (arg == "--save") {
      options.save = true;
    } else if (arg == "--no-save") {
      options.no_save = true;
    } else if (arg == "--compress") {
      options.compress = true;
    } else if (arg == "--open") {
      options.open = true;
    } else if (arg == "--markup") {
      options.markup = true;
    } else if (arg == "--page-numbers") {
      options.page_numbers = true;
    } else if (arg == "--no-full-screen") {
      options.no_full_screen = true;
    } else if (arg == "--list-folder" || arg.rfind("--list-folder=", 0) == 0) {
      options.list_folder =
          arg.size() > 13 ? arg.substr(14) : (i + 1 < args.size() ? args[++i] : "");
    } else if (arg == "--jpeg-quality" || arg.rfind("--jpeg-quality=", 0) == 0) {
      // The value follows "=" or comes as the next argument.
      std::string value = arg.size() > 14 ? arg.substr(15) : (i + 1 < args.size() ? args[++i] : "");
      options.jpeg_quality = JpegQuality(value);
      if (!options.jpeg_quality && options.error.empty()) {
        options.error = "--jpeg-quality takes a whole number from 1 to 100: " + value;
      }
    } else if (options.error.empty()) {
      options.error = "unknown option " + arg + " (see --help)";
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

}  // namespace

std::string LongHelpText(const ConverterControls& c) {
  return MessageLines(HelpText()) + "\n\nValues of the index switches:\n" +
         ValueList("-f", c.cmbFont) + ValueList("-s", c.cmbFontSize) +
         ValueList("-r", c.cmbRotation) + ValueList("-p", c.cmbPageSize) +
         ValueList("-m", c.cmbMargin) + ValueList("-y", c.cmbTopMargin) +
         ValueList("-c", c.cmbForeColor) + ValueList("-b", c.cmbBackColor) +
         ValueList("-x", c.cmbTransition) +
         "\n"
         "Options of this platform:\n"
         "--batch              run without a window (also when there is no display)\n"
         "--keep-jpeg          do not recompress JPG files below quality 100, for this run\n"
         "--album-list         the input is an album list: its image tags are pictures even\n"
         "                     with markup off, for this run\n"
         "--list-folder DIR    the album builder's private folder of the list, removed when\n"
         "                     the run ends\n"
         "--jpeg-quality=N     the JPEG quality, 1 to 100 (kept for later runs; also\n"
         "                     --jpeg-quality N); at 100 JPEGs go in as they are\n"
         "--markup             markup on again after -h (kept)\n"
         "--page-numbers       page numbers on again after -n (kept)\n"
         "--no-full-screen     full-screen mode off again after -u (kept)\n"
         "--                   the end of switches and options: what follows is the input\n"
         "--quiet              no \"Processing\" lines (warnings and errors stay), this run\n"
         "--progress           how far each job is (page, picture, file), on standard error\n"
         "--save               keep this run's switches for the next run (a run that\n"
         "                     converts from its command line keeps nothing without it)\n"
         "--no-save            keep nothing of this run, not even when the window closes\n"
         "--compress           compress the page contents (Flate), this run only\n"
         "--open FILE          the window with FILE as the input and its PDF as the output;\n"
         "                     nothing is converted until \"Produce PDF\"\n"
         "-                    as the input: standard input (needs -o FILE or -o -)\n"
         "-o -                 the PDF to standard output\n"
         "Several inputs (vellumox --batch *.txt) each convert to their own PDF.\n"
         "A pattern ('/pics/*.jpg') takes its files in natural order (p2 before p10, letters\n"
         "without case); -o names the album of a picture pattern (.pdf added when missing),\n"
         "and is refused with a text pattern, which makes one PDF per file.\n"
         "--version            the version\n"
         "--formats            the picture formats that can be read here (vellumox --formats\n"
         "                     asks the picture decoder helper)\n"
         "--help, -?           this text (-? alone: the short one above)\n"
         "\n"
         "Exit status: 0 when every conversion wrote its PDF, 1 when a conversion reported an\n"
         "error, 2 when the command line named nothing to convert, 3 when every PDF was written\n"
         "but a picture was left out or a character had no font (each is named on standard\n"
         "error), 128 + the signal when\n"
         "SIGINT, SIGTERM or SIGHUP ended the run (the partial PDF removed), 141 when the\n"
         "reader of -o - went away.\n";
}

}  // namespace vellumox
