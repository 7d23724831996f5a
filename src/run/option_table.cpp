#include "run/option_table.h"

#include <array>

#include "run/command_line.h"
#include "run/controls_model.h"
#include "run/front_end_options.h"
#include "writer/number_text.h"

namespace vellumox {

namespace {

bool TakeJpegQuality(FrontEndOptions& options, std::string_view text) {
  std::optional<double> n = ParseNumberValue(text);
  if (!n || *n != static_cast<int>(*n) || *n < kJpegQualityMin || *n > kJpegQualityMax) {
    options.error = "--jpeg-quality takes a whole number from 1 to 100: " + std::string(text);
    return false;
  }
  options.jpeg_quality = static_cast<int>(*n);
  return true;
}

bool TakeListFolder(FrontEndOptions& options, std::string_view folder) {
  options.list_folder = std::string(folder);
  return true;
}

using F = FrontEndOptions;
using V = OptionValue;

constexpr std::array kOptions = {
    OptionSpec{"--batch", V::kNone, "", "", "run without a window (also when there is no display)",
               &F::batch},
    OptionSpec{"--keep-jpeg", V::kNone, "", "",
               "do not recompress JPG files below quality 100, for this run", &F::keep_jpeg},
    OptionSpec{"--album-list", V::kNone, "", "",
               "the input is an album list: its image tags are pictures even\n"
               "with markup off, for this run",
               &F::album_list},
    OptionSpec{"--list-folder", V::kFile, "DIR", "",
               "the album builder's private folder of the list, removed when\n"
               "the run ends",
               nullptr, TakeListFolder, false},
    OptionSpec{"--jpeg-quality", V::kNumber, "N", "--jpeg-quality=N",
               "the JPEG quality, 1 to 100 (kept for later runs; also\n"
               "--jpeg-quality N); at 100 JPEGs go in as they are and other\n"
               "pictures lossless",
               nullptr, TakeJpegQuality},
    OptionSpec{"--markup", V::kNone, "", "", "markup on again after -h (kept)", &F::markup},
    OptionSpec{"--page-numbers", V::kNone, "", "", "page numbers on again after -n (kept)",
               &F::page_numbers},
    OptionSpec{"--no-full-screen", V::kNone, "", "", "full-screen mode off again after -u (kept)",
               &F::no_full_screen},
    OptionSpec{"--quiet", V::kNone, "", "",
               "no \"Processing\" lines (warnings and errors stay), this run", &F::quiet},
    OptionSpec{"--progress", V::kNone, "", "",
               "how far each job is (page, picture, file), on standard error", &F::progress},
    OptionSpec{"--save", V::kNone, "", "",
               "keep this run's switches for the next run (a run that\n"
               "converts from its command line keeps nothing without it)",
               &F::save},
    OptionSpec{"--no-save", V::kNone, "", "",
               "keep nothing of this run, not even when the window closes", &F::no_save},
    OptionSpec{"--compress", V::kNone, "", "", "compress the page contents (Flate), this run only",
               &F::compress},
    OptionSpec{"--open", V::kNone, "FILE", "",
               "the window with FILE as the input and its PDF as the output;\n"
               "nothing is converted until \"Produce PDF\"",
               &F::open},
    OptionSpec{"--version", V::kNone, "", "", "the version", &F::version},
    OptionSpec{"--formats", V::kNone, "", "",
               "the picture formats that can be read here (vellumox --formats\n"
               "asks the picture decoder helper)",
               &F::formats},
    OptionSpec{"--help", V::kNone, "", "--help, -?", "this text (-? alone: the short one above)",
               &F::help},
};

// The column where the help of an option starts.
constexpr size_t kHelpColumn = 21;

}  // namespace

std::span<const OptionSpec> FrontEndOptionTable() {
  return kOptions;
}

const OptionSpec* FindOption(std::string_view argument) {
  const std::string_view name = argument.substr(0, argument.find('='));
  for (const OptionSpec& spec : kOptions) {
    if (spec.name == name) return &spec;
  }
  return nullptr;
}

std::string OptionHelpLines() {
  std::string out;
  for (const OptionSpec& spec : kOptions) {
    std::string shown(spec.shown);
    if (shown.empty()) {
      shown = std::string(spec.name);
      if (!spec.value_name.empty()) shown += " " + std::string(spec.value_name);
    }
    out += shown + std::string(shown.size() < kHelpColumn ? kHelpColumn - shown.size() : 1, ' ');
    for (char c : spec.help) {
      out += c;
      if (c == '\n') out += std::string(kHelpColumn, ' ');
    }
    out += '\n';
  }
  return out;
}

}  // namespace vellumox
