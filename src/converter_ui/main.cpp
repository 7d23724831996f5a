// vellumox: the converter. Runs its command line without a window when asked to (--batch) or
// when there is no display.
#include <QCoreApplication>

#include <cstdio>
#include <string>
#include <vector>

#include "converter_ui/batch_mode.h"
#include "images/image_codec.h"
#include "images/image_format.h"

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
    std::printf("Vellumox PRO+ v1.7\nPictures:");
    for (vellumox::ImageFormat format : codec->ReadableFormats()) {
      std::printf(" %s", std::string(vellumox::FormatName(format)).c_str());
    }
    std::printf("\n");
    return vellumox::kExitDone;
  }
  QCoreApplication app(argc, argv);
  const std::string program_folder = QCoreApplication::applicationDirPath().toStdString();
  // The window comes later; until then every run is a batch run.
  return vellumox::RunBatch(options, program_folder);
}
