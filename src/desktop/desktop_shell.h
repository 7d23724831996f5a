// What the programs ask of the desktop: open a file or folder with its default application,
// open a web page, start a program. Windows take this interface, so tests can stand in for it.
#pragma once

#include <string>
#include <vector>

namespace vellumox {

class DesktopShell {
 public:
  virtual ~DesktopShell() = default;
  // Opens a document or a folder with the desktop's default application; failures are silent.
  virtual void OpenPath(const std::string& path) = 0;
  // Whether the desktop has an application for a PDF (opening one reports success whenever
  // the opener starts, so this is asked first).
  virtual bool CanOpenPdf() { return true; }
  virtual void OpenUrl(const std::string& url) = 0;
  // Starts a program without waiting for it; false when it could not be started.
  virtual bool StartProgram(const std::string& program, const std::vector<std::string>& arguments,
                            const std::string& working_folder) = 0;
};

// The desktop of this session, through Qt.
class SystemShell : public DesktopShell {
 public:
  void OpenPath(const std::string& path) override;
  // Asks xdg-mime for the default application of application/pdf.
  bool CanOpenPdf() override;
  void OpenUrl(const std::string& url) override;
  bool StartProgram(const std::string& program, const std::vector<std::string>& arguments,
                    const std::string& working_folder) override;
};

}  // namespace vellumox
