#include "converter_ui/front_end_options.h"

#include "conversion/job_events.h"
#include "converter_ui/command_line.h"
#include "converter_ui/controls_model.h"
#include "writer/number_text.h"

namespace vellumox {

FrontEndOptions ParseFrontEndOptions(const std::vector<std::string>& args) {
  FrontEndOptions options;
  for (const std::string& arg : args) {
    if (arg.rfind("--", 0) != 0) {
      options.arguments.push_back(arg);
    } else if (arg == "--batch") {
      options.batch = true;
    } else if (arg == "--version") {
      options.version = true;
    } else if (arg == "--help") {
      options.help = true;
    } else if (arg == "--keep-jpeg") {
      options.keep_jpeg = true;
    } else if (arg == "--album-list") {
      options.album_list = true;
    } else if (arg.rfind("--jpeg-quality=", 0) == 0) {
      std::optional<double> n = ParseNumberValue(std::string_view(arg).substr(15));
      if (!n || *n != static_cast<int>(*n) || *n < kJpegQualityMin || *n > kJpegQualityMax) {
        options.error = "--jpeg-quality takes a whole number from 1 to 100: " + arg;
      } else {
        options.jpeg_quality = static_cast<int>(*n);
      }
    } else if (options.error.empty()) {
      options.error = "unknown option " + arg + " (see --help)";
    }
  }
  return options;
}

std::string LongHelpText() {
  return MessageLines(HelpText()) +
         "\n\n"
         "Options of this platform:\n"
         "--batch              run without a window (also when there is no display)\n"
         "--keep-jpeg          do not recompress JPG files, for this run\n"
         "--album-list         the input is an album list: its image tags are pictures even\n"
         "                     with markup off, for this run\n"
         "--jpeg-quality=N     the JPEG quality, 1 to 100 (kept for later runs)\n"
         "--version            the version and the picture formats that can be read\n"
         "--help               this text\n"
         "\n"
         "Exit status: 0 when every conversion wrote its PDF, 1 when a conversion reported an\n"
         "error, 2 when the command line named nothing to convert.\n";
}

}  // namespace vellumox
