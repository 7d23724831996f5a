// vellumox: the converter. Runs its command line without a window when asked to (--batch) or
// when there is no display.
#include <QCoreApplication>

#include <cstdio>
#include <string>
#include <vector>

#include "converter_ui/batch_mode.h"
#include "converter_ui/front_end_options.h"
#include "images/image_codec.h"
#include "images/image_format.h"
#include "platform/product.h"
#include "platform/user_folders.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  vellumox::FrontEndOptions options = vellumox::ParseFrontEndOptions(args);
  if (!options.error.empty()) {
    std::fprintf(stderr, "vellumox: %s\n", options.error.c_str());
    return vellumox::kExitNothing;
  }
  if (options.help) {
    std::fputs(vellumox::LongHelpText().c_str(), stdout);
    return vellumox::kExitDone;
  }
  if (options.version) {
    auto codec = vellumox::MakeLibraryImageCodec();
    std::printf("%s\nPictures:", vellumox::ProductTitle().c_str());
    for (vellumox::ImageFormat format : codec->ReadableFormats()) {
      std::printf(" %s", std::string(vellumox::FormatName(format)).c_str());
    }
    std::printf("\n");
    return vellumox::kExitDone;
  }
  QCoreApplication app(argc, argv);
  // The window comes later; until then every run is a batch run.
  return vellumox::RunBatch(options, vellumox::ProgramFolder());
}
