// How the core reaches the user: the window and the batch mode each implement this.
#pragma once

#include <string>

namespace vellumox {

enum class MessageIcon { kNone, kInformation, kExclamation, kQuestion };

class UserInteraction {
 public:
  virtual ~UserInteraction() = default;
  // A message with an OK button. Texts are UTF-8.
  virtual void ShowMessage(const std::string& text, MessageIcon icon) = 0;
  // A Yes/No question whose default answer is No; true for Yes.
  virtual bool AskYesNo(const std::string& text) = 0;
  // Lets the window repaint during long work; nothing to do without a window.
  virtual void ProcessEvents() {}
  // Opens a document or folder with its default application.
  virtual void OpenWithShell(const std::string& path) { (void)path; }
};

// Answers every question with No and keeps the messages, for tests and quiet runs.
class SilentInteraction : public UserInteraction {
 public:
  void ShowMessage(const std::string& text, MessageIcon icon) override {
    last_message = text;
    last_icon = icon;
    ++message_count;
  }
  bool AskYesNo(const std::string& text) override {
    last_message = text;
    last_icon = MessageIcon::kQuestion;
    ++message_count;
    return false;
  }
  std::string last_message;
  MessageIcon last_icon = MessageIcon::kNone;
  int message_count = 0;
};

}  // namespace vellumox
