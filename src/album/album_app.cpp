#include "album/album_app.h"

#include <QApplication>
#include <QScreen>
#include <QSocketNotifier>
#include <QStandardPaths>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "album/album_model.h"
#include "album/album_window.h"
#include "conversion/album_list.h"
#include "desktop/desktop_shell.h"
#include "desktop/qt_text.h"
#include "desktop/user_dialogs.h"
#include "images/image_codec.h"
#include "platform/file_system.h"
#include "platform/ini_settings.h"
#include "platform/process.h"
#include "platform/stop.h"
#include "platform/user_folders.h"
#include "writer/path_names.h"

namespace vellumox {

namespace {

constexpr const char* kUsage =
    "Usage: album [FOLDER] [/o OUTPUT]\n"
    "Opens the album builder on FOLDER, with every picture of FOLDER in the album; without a\n"
    "FOLDER on the folder it showed last, else the pictures folder, else the home folder.\n"
    "With /o OUTPUT the album of every picture is written to OUTPUT (.pdf added when missing;\n"
    "a plain name goes into FOLDER) by the converter, without a window, display or not: album\n"
    "waits for it and ends with its exit status. Without a display only the /o run works.\n"
    "album --help shows this text.\n";

std::string WorkingFolder() {
  std::error_code ec;
  std::string folder = std::filesystem::current_path(ec).string();
  return ec ? std::string() : folder;
}

// The /o run: the converter in batch mode, waited for, with or without a display (a run
// that returned before its PDF exists would leave a script nothing to go on).
int RunWithoutWindow(AlbumModel& model, const std::string& output, const AlbumPlaces& places) {
  if (model.album.entries.empty()) {
    std::fprintf(stderr, "album: there are no pictures in %s to make an album of\n",
                 ShownName(model.Folder()).c_str());
    return 2;
  }
  AlbumRun run = model.CreateAlbum(output, places);
  for (const LeftOutName& left_out : run.skipped) {
    std::fprintf(stderr, "album: picture '%s' left out: %s\n",
                 ShownName(model.Folder() + left_out.name).c_str(), left_out.reason.c_str());
  }
  if (run.beyond_limit > 0) {
    std::fprintf(stderr, "album: %s\n", BeyondLimitMessage(run.beyond_limit).c_str());
  }
  if (!run.list_written) {
    std::fprintf(stderr, "album: error: cannot write the album list in a temporary folder\n");
    return 1;
  }
  if (run.pictures == 0) {
    std::fprintf(stderr, "album: none of the pictures of %s can be put in an album\n",
                 ShownName(model.Folder()).c_str());
    return 1;
  }
  if (run.converter.empty()) {
    std::fprintf(stderr, "album: error: the converter is not in %s\n",
                 places.program_folder.c_str());
    return 1;
  }
  std::vector<std::string> arguments = run.arguments;
  arguments.insert(arguments.begin(), "--batch");
  // A stop is passed on to the converter, which removes what it wrote; then this run ends too.
  ProgramResult result =
      RunProgram(run.converter, arguments, std::chrono::hours(24 * 365), true, OnStop::kPassOn);
  if (StopSignal() != 0) return 128 + StopSignal();
  const int status = result.exit_status < 0 ? 1 : result.exit_status;
  // Every PDF written, but a picture left out: as the converter says of its own.
  return status == 0 && (!run.skipped.empty() || run.beyond_limit > 0) ? 3 : status;
}

}  // namespace

int RunAlbum(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 1 && args[0] == "--help") {
    std::fputs(kUsage, stdout);
    return 0;
  }
  const AlbumPlaces places{ProgramFolder(), UserConfigFolder()};
  const AlbumCommandLine line = ParseAlbumCommandLine(args, WorkingFolder());
  const bool no_such_folder = !line.folder.empty() && !IsFolder(line.folder);
  std::unique_ptr<ImageCodec> codec = MakeLibraryImageCodec();
  const bool extra_formats = codec->HasImageComponent();
  AlbumModel model(AlbumPatterns(extra_formats), extra_formats);
  // Without a folder, the one shown last (kept in album.ini), else the user's pictures; never
  // the program's folder, where albums do not belong.
  IniSettingsStore store(UserConfigFolder() + "/album.ini", "Album");
  const std::string pictures =
      FromQt(QStandardPaths::writableLocation(QStandardPaths::PicturesLocation));
  StartAlbumModel(
      model, line,
      AlbumStartFolder(store.Get("Folder", ""), pictures, HomeFolder(), places.program_folder));
  const std::string output =
      line.output.empty() ? std::string() : AlbumOutputPath(line.output, model.Folder());
  if (!output.empty() && IsProgramFolder(FolderOfPath(output), places.program_folder)) {
    std::fprintf(stderr, "album: %s\n", kNotInProgramFolder);
    return 2;
  }

  const std::string no_folder_message = "No such folder: " + ShownName(line.folder);
  if (!output.empty() || !DisplayAvailable()) {
    if (no_such_folder) {
      std::fprintf(stderr, "album: %s\n", no_folder_message.c_str());
      return 2;
    }
    if (output.empty()) {
      std::fprintf(stderr,
                   "album: there is no display; without a window only an album run "
                   "works: album FOLDER /o OUTPUT\n");
      return 2;
    }
    return RunWithoutWindow(model, output, places);
  }
  int qt_argc = 1;
  QApplication app(qt_argc, argv);
  SystemShell shell;
  SystemDialogs dialogs;
  AlbumWindow window(model, *codec, places, shell, dialogs);
  if (no_such_folder) {
    dialogs.ShowMessage(nullptr, "PDF Album", no_folder_message, MessageIcon::kExclamation);
  }
  QSocketNotifier stop(StopDescriptor(), QSocketNotifier::Read);
  QObject::connect(&stop, &QSocketNotifier::activated, &app, [&] {
    stop.setEnabled(false);
    QCoreApplication::exit(128 + (StopSignal() != 0 ? StopSignal() : 15));
  });
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    window.move(screen->availableGeometry().center() - window.rect().center());
  }
  window.show();
  const int status = QApplication::exec();
  std::string shown = model.Folder();
  if (shown.size() > 1 && shown.back() == '/') shown.pop_back();
  store.Put("Folder", shown);
  if (!store.Sync()) {
    std::fprintf(stderr, "album: the folder shown last was not kept: %s\n",
                 store.WhyNotKept().c_str());
  }
  return status;
}

}  // namespace vellumox
