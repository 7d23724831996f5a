// vellumox: the converter. Opens its window when a display is there; runs its command line
// without a window when asked to (--batch) or when there is none.
#include <QApplication>
#include <QCoreApplication>

#include <cstdio>
#include <string>
#include <vector>

#include "conversion/album_list.h"
#include "converter_ui/batch_mode.h"
#include "converter_ui/controls_model.h"
#include "converter_ui/front_end_options.h"
#include "converter_ui/page_size_file.h"
#include "converter_ui/window_mode.h"
#include "images/image_codec.h"
#include "images/picture_formats.h"
#include "platform/private_folder.h"
#include "platform/process.h"
#include "platform/product.h"
#include "platform/stop.h"
#include "platform/user_folders.h"

int main(int argc, char** argv) {
  // Before any thread starts: an interrupted run removes its partial output and temporary files.
  vellumox::InstallStopHandling();
  std::vector<std::string> args(argv + 1, argv + argc);
  vellumox::FrontEndOptions options = vellumox::ParseFrontEndOptions(args);
  // The album builder hands over the private folder of its list: it goes when this run ends,
  // whichever way it ends.
  vellumox::PrivateFolder list_folder(vellumox::kAlbumListFolderPrefix);
  if (!options.list_folder.empty() && !list_folder.Adopt(options.list_folder)) {
    std::fprintf(stderr,
                 "vellumox: warning: --list-folder %s is no album builder's folder; it is "
                 "left alone\n",
                 options.list_folder.c_str());
  }
  if (!options.error.empty()) {
    std::fprintf(stderr, "vellumox: %s\n", options.error.c_str());
    return vellumox::kExitNothing;
  }
  if (options.help) {
    vellumox::StartupFacts facts;
    facts.custom_page_sizes =
        vellumox::LoadCustomPageSizes(vellumox::ProgramFolder(), vellumox::UserConfigFolder());
    std::fputs(vellumox::LongHelpText(vellumox::MakeControls(facts)).c_str(), stdout);
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
  // Qt sees only the program's name: the converter's own switches are not Qt's to take.
  int qt_argc = 1;
  // Standard input and output are pipes: such a run is unattended, whether a display is there
  // or not.
  if (options.batch || options.stdin_input || options.stdout_output ||
      !vellumox::DisplayAvailable()) {
    // Without a display a QApplication cannot be made; the settings need only the core.
    QCoreApplication app(qt_argc, argv);
    return vellumox::RunBatch(options, vellumox::ProgramFolder());
  }
  QApplication app(qt_argc, argv);
  return vellumox::RunWindow(options, vellumox::ProgramFolder());
}
