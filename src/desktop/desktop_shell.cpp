#include "desktop/desktop_shell.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStringList>
#include <QUrl>

#include "desktop/qt_text.h"

namespace vellumox {

void SystemShell::OpenPath(const std::string& path) {
  if (!path.empty()) QDesktopServices::openUrl(QUrl::fromLocalFile(ToQt(path)));
}

bool SystemShell::CanOpenPdf() {
  QProcess query;
  query.start("xdg-mime", {"query", "default", "application/pdf"});
  if (!query.waitForFinished(3000) || query.exitStatus() != QProcess::NormalExit ||
      query.exitCode() != 0) {
    return false;
  }
  return !query.readAllStandardOutput().trimmed().isEmpty();
}

void SystemShell::OpenUrl(const std::string& url) {
  QDesktopServices::openUrl(QUrl(ToQt(url)));
}

bool SystemShell::StartProgram(const std::string& program,
                               const std::vector<std::string>& arguments,
                               const std::string& working_folder) {
  QStringList args;
  for (const std::string& arg : arguments) args << ToQt(arg);
  return QProcess::startDetached(ToQt(program), args, ToQt(working_folder));
}

}  // namespace vellumox
