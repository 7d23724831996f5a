// vellumox: the converter. Runs its command line without a window when asked to (--batch), when
// standard input or output is in use, or when there is no display; otherwise it becomes its
// window program, vellumox-window, with the same arguments. This program loads no toolkit and
// no image library, so an unattended run starts fast.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "conversion/album_list.h"
#include "platform/file_system.h"
#include "platform/private_folder.h"
#include "platform/process.h"
#include "platform/stop.h"
#include "platform/user_folders.h"
#include "run/batch_mode.h"
#include "run/front_end_options.h"
#include "run/program_start.h"

namespace {

int Run(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  const vellumox::FrontEndOptions options = vellumox::ParseFrontEndOptions(args);
  const bool answers = !options.error.empty() || options.help || options.version || options.formats;
  if (!answers && !vellumox::Unattended(options)) {
    const std::string window = vellumox::ProgramFolder() + "/" + vellumox::kWindowProgram;
    const int error = vellumox::ReplaceProcess(window, args);
    std::fprintf(stderr, "vellumox: the window program %s beside the program cannot be run: %s\n",
                 vellumox::kWindowProgram, vellumox::SystemErrorText(error).c_str());
    return vellumox::kExitFailed;
  }
  vellumox::PrivateFolder list_folder(vellumox::kAlbumListFolderPrefix);
  if (std::optional<int> status = vellumox::AnswerOptions(options, list_folder)) return *status;
  return vellumox::RunBatch(options, vellumox::ProgramFolder());
}

}  // namespace

int main(int argc, char** argv) {
  // Before any thread starts: an interrupted run removes its partial output and temporary files.
  vellumox::InstallStopHandling();
  return vellumox::RunMain([&] { return Run(argc, argv); });
}
