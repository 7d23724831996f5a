// vellumox-window: the converter's window, which vellumox starts (with its own arguments) when
// there is a display and the run is not unattended. Started by hand without a display, or with
// --batch, it runs the command line as vellumox does.
#include <QApplication>

#include <string>
#include <vector>

#include "conversion/album_list.h"
#include "converter_ui/window_mode.h"
#include "platform/private_folder.h"
#include "platform/stop.h"
#include "platform/user_folders.h"
#include "run/batch_mode.h"
#include "run/front_end_options.h"
#include "run/program_start.h"

namespace {

int Run(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  const vellumox::FrontEndOptions options = vellumox::ParseFrontEndOptions(args);
  vellumox::PrivateFolder list_folder(vellumox::kAlbumListFolderPrefix);
  if (std::optional<int> status = vellumox::AnswerOptions(options, list_folder)) return *status;
  // Without a display a QApplication cannot be made.
  if (vellumox::Unattended(options)) return vellumox::RunBatch(options, vellumox::ProgramFolder());
  // Qt sees only the program's name: the converter's own switches are not Qt's to take.
  int qt_argc = 1;
  QApplication app(qt_argc, argv);
  return vellumox::RunWindow(options, vellumox::ProgramFolder());
}

}  // namespace

int main(int argc, char** argv) {
  // Before any thread starts: an interrupted run removes its partial output and temporary files.
  vellumox::InstallStopHandling();
  return vellumox::RunMain([&] { return Run(argc, argv); });
}
