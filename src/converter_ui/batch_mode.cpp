#include "converter_ui/batch_mode.h"

#include <cstdio>
#include <cstdlib>

#include "converter_ui/batch_interaction.h"
#include "converter_ui/command_line.h"
#include "converter_ui/controls_model.h"
#include "converter_ui/conversion.h"
#include "converter_ui/page_size_file.h"
#include "converter_ui/settings_store.h"
#include "images/image_codec.h"
#include "writer/conversion_job.h"
#include "writer/file_operations.h"
#include "writer/number_text.h"

namespace vellumox {

namespace {

// Progress on standard error: one line per file.
class BatchObserver : public JobObserver {
 public:
  void SetCaption(const std::string& caption) override {
    if (caption.rfind("Processing ", 0) == 0) {
      std::fprintf(stderr, "vellumox: %s\n", caption.c_str());
    }
  }
};

}  // namespace

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

bool NoDisplay() {
  const char* x11 = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  return !(x11 && *x11) && !(wayland && *wayland);
}

std::string LongHelpText() {
  return ForTerminal(HelpText()) +
         "\n\n"
         "Options of this platform:\n"
         "--batch              run without a window (also when there is no display)\n"
         "--keep-jpeg          do not recompress JPG files, for this run\n"
         "--jpeg-quality=N     the JPEG quality, 1 to 100 (kept for later runs)\n"
         "--version            the version and the picture formats that can be read\n"
         "--help               this text\n"
         "\n"
         "Exit status: 0 when every conversion wrote its PDF, 1 when a conversion reported an\n"
         "error, 2 when the command line named nothing to convert.\n";
}

int RunBatch(const FrontEndOptions& options, const std::string& program_folder) {
  BatchInteraction ui;
  std::unique_ptr<ImageCodec> codec = MakeLibraryImageCodec();
  StartupFacts facts;
  facts.image_component = codec->HasImageComponent();
  facts.album_present = FileExists(program_folder + "/album");
  facts.custom_page_sizes = LoadCustomPageSizes(program_folder, UserConfigFolder());
  ConverterControls controls = MakeControls(facts);

  std::string command_line = JoinArguments(options.arguments);
  SettingsStore store;
  RestoreSettings(store, controls);
  if (options.keep_jpeg) controls.chkSkipJPG = true;
  if (options.jpeg_quality) controls.hsJPEG = *options.jpeg_quality;

  int status = kExitDone;
  switch (ApplyCommandLine(command_line, controls)) {
    case CommandLineOutcome::kHelp:
      std::printf("%s\n", ForTerminal(HelpText()).c_str());
      break;
    case CommandLineOutcome::kNothing:
      if (command_line.empty()) {
        ui.ShowMessage(
            "Nothing to convert: name a file, a folder pattern or pictures (see --help).",
            MessageIcon::kInformation);
      } else if (FileLength(command_line) == 0) {
        ui.ShowMessage("Nothing to convert: '" + command_line + "' is empty.",
                       MessageIcon::kInformation);
      } else {
        ui.ShowMessage("Nothing to convert: '" + command_line + "' names no file.",
                       MessageIcon::kInformation);
      }
      status = kExitNothing;
      break;
    case CommandLineOutcome::kConvert: {
      PictureOptions pictures;
      pictures.jpeg = JpegOptions{controls.hsJPEG, controls.chkSkipJPG};
      pictures.settings = &store;
      JobConverter converter(ui, *codec, pictures);
      BatchObserver observer;
      JobReport report =
          RunConversionJob(MakeJobRequest(controls, command_line), converter, ui, observer);
      if (report.names_missing) {
        status = kExitNothing;
      } else if (report.failures > 0) {
        status = kExitFailed;
      }
      break;
    }
  }
  // The window's close path saves the choices, so switches given now apply to the next run.
  SaveSettings(store, controls);
  return status;
}

}  // namespace vellumox
