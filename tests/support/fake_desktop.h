// Stand-ins for the desktop in widget tests: they record what the windows ask for and give the
// answers a test has queued.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "desktop/desktop_shell.h"
#include "desktop/user_dialogs.h"

namespace vellumox::test {

struct FakeShell : DesktopShell {
  void OpenPath(const std::string& path) override { opened.push_back(path); }
  bool CanOpenPdf() override { return can_open_pdf; }
  bool can_open_pdf = true;
  void OpenUrl(const std::string& url) override { opened.push_back(url); }
  bool StartProgram(const std::string& program, const std::vector<std::string>& arguments,
                    const std::string& working_folder) override {
    std::string line = program;
    for (const std::string& arg : arguments) line += " " + arg;
    started.push_back(line + " (in " + working_folder + ")");
    return true;
  }
  std::vector<std::string> opened, started;
};

// Messages and questions are recorded; each answer or chosen path is taken from the front of
// its queue (an empty queue answers No, or cancels).
struct FakeDialogs : UserDialogs {
  void ShowMessage(QWidget*, const std::string&, const std::string& text, MessageIcon) override {
    messages.push_back(text);
  }
  bool AskYesNo(QWidget*, const std::string&, const std::string& text) override {
    questions.push_back(text);
    return Take(yes_no) == "yes";
  }
  std::string ChooseFileToOpen(QWidget*, const std::string&, const std::string&) override {
    return Take(paths);
  }
  std::string ChooseFileToSave(QWidget*, const std::string&, const std::string&, const std::string&,
                               const std::string& folder) override {
    save_folders.push_back(folder);
    return Take(paths);
  }
  std::string ChooseFolder(QWidget*, const std::string& prompt) override {
    questions.push_back(prompt);
    return Take(paths);
  }
  std::optional<std::string> AskText(QWidget*, const std::string&, const std::string& prompt,
                                     const std::string&) override {
    questions.push_back(prompt);
    if (texts.empty()) return std::nullopt;
    return Take(texts);
  }
  static std::string Take(std::deque<std::string>& queue) {
    if (queue.empty()) return std::string();
    std::string front = queue.front();
    queue.pop_front();
    return front;
  }
  std::vector<std::string> messages, questions;
  std::vector<std::string> save_folders;  // where each save dialog opened
  std::deque<std::string> yes_no, paths, texts;
};

}  // namespace vellumox::test
