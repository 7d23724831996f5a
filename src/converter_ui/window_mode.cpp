#include "converter_ui/window_mode.h"

#include <QApplication>
#include <QSocketNotifier>

#include <cstdio>

#include "run/converter_startup.h"
#include "converter_ui/converter_window.h"
#include "run/settings_store.h"
#include "desktop/desktop_shell.h"
#include "desktop/user_dialogs.h"
#include "images/image_codec.h"
#include "platform/stop.h"
#include "platform/user_folders.h"

namespace vellumox {

int RunWindow(const FrontEndOptions& options, const std::string& program_folder) {
  std::unique_ptr<ImageCodec> codec = MakeLibraryImageCodec();
  IniSettingsStore store;
  ConverterStartup startup(store, *codec, {program_folder, UserConfigFolder()}, options);
  SystemShell shell;
  SystemDialogs dialogs;
  ConverterWindow window(startup, *codec, shell, dialogs);
  // The program ends when the window has gone through its close path, not when the last
  // window happens to close (the about window closes before it, the splash before that).
  QApplication::setQuitOnLastWindowClosed(false);
  QObject::connect(&window, &ConverterWindow::closed, qApp, &QCoreApplication::quit,
                   Qt::QueuedConnection);
  // A signal ends the program once the running job has stopped (the window's job ends at its
  // next line or picture, and removes what it wrote).
  QSocketNotifier stop(StopDescriptor(), QSocketNotifier::Read);
  QObject::connect(&stop, &QSocketNotifier::activated, qApp, [&] {
    // Quiet until the window's own Stop is obeyed and forgotten (the descriptor stays readable
    // until then); a signal meanwhile is seen when the job ends.
    stop.setEnabled(false);
    if (StopSignal() == 0) return;
    if (!window.JobRunning()) QCoreApplication::exit();
  });
  QObject::connect(&window, &ConverterWindow::stopCleared, &stop, [&] { stop.setEnabled(true); });
  window.Load(true);
  // The window keeps to what its controls show; what was refused is told where a terminal
  // sees it.
  for (const std::string& warning : startup.Warnings()) {
    std::fprintf(stderr, "vellumox: warning: %s\n", warning.c_str());
  }
  if (!window.Finished()) QApplication::exec();
  if (StopSignal() != 0) return 128 + StopSignal();
  return window.ExitStatus();
}

}  // namespace vellumox
