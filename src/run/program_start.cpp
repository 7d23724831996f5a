#include "run/program_start.h"

#include <cstdio>
#include <string>

#include "conversion/album_list.h"
#include "images/image_codec.h"
#include "images/picture_formats.h"
#include "platform/process.h"
#include "platform/product.h"
#include "platform/user_folders.h"
#include "run/controls_model.h"
#include "run/page_size_file.h"

namespace vellumox {

std::optional<int> AnswerOptions(const FrontEndOptions& options, PrivateFolder& list_folder) {
  if (!options.list_folder.empty() && !list_folder.Adopt(options.list_folder)) {
    std::fprintf(stderr,
                 "vellumox: warning: --list-folder %s is no album builder's folder; it is "
                 "left alone\n",
                 options.list_folder.c_str());
  }
  if (!options.error.empty()) {
    std::fprintf(stderr, "vellumox: %s\n", options.error.c_str());
    return kExitNothing;
  }
  if (options.help) {
    StartupFacts facts;
    facts.custom_page_sizes = LoadCustomPageSizes(ProgramFolder(), UserConfigFolder());
    std::fputs(LongHelpText(MakeControls(facts)).c_str(), stdout);
    return kExitDone;
  }
  if (options.version) {
    std::printf("%s\n", ProductTitle().c_str());
    return kExitDone;
  }
  if (options.formats) {
    // The outside decoders are asked through their helper.
    std::unique_ptr<ImageCodec> codec = MakeLibraryImageCodec();
    std::printf("Pictures:");
    for (ImageFormat format : codec->ReadableFormats()) {
      std::printf(" %s", std::string(FormatName(format)).c_str());
    }
    std::printf("\n");
    if (!codec->WhyUnreadable().empty()) {
      std::fprintf(stderr, "vellumox: warning: only JPEG and PNG: %s\n",
                   codec->WhyUnreadable().c_str());
      return kExitFailed;
    }
    return kExitDone;
  }
  return std::nullopt;
}

bool Unattended(const FrontEndOptions& options) {
  return options.batch || options.stdin_input || options.stdout_output || !DisplayAvailable();
}

}  // namespace vellumox
