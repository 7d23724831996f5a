// The questions, messages and dialogs that the windows put to the user. Windows take this
// interface, so that tests can answer in the user's place.
#pragma once

#include <optional>
#include <string>

class QWidget;

namespace vellumox {

enum class MessageIcon { kNone, kInformation, kExclamation };

class UserDialogs {
 public:
  virtual ~UserDialogs() = default;
  // A message with an OK button.
  virtual void ShowMessage(QWidget* parent, const std::string& title, const std::string& text,
                           MessageIcon icon) = 0;
  // A question with Yes and No, No being the default; true for Yes.
  virtual bool AskYesNo(QWidget* parent, const std::string& title, const std::string& text) = 0;
  // An existing file; empty when cancelled. filter: pairs of description and patterns, all
  // separated by "|", the patterns of a pair by ";".
  virtual std::string ChooseFileToOpen(QWidget* parent, const std::string& title,
                                       const std::string& filter) = 0;
  // A file name to save under, asking before an existing file is replaced; default_suffix is
  // added to a name without one. Empty when cancelled.
  // folder: where the dialog opens (empty: where the program runs).
  virtual std::string ChooseFileToSave(QWidget* parent, const std::string& title,
                                       const std::string& filter, const std::string& default_suffix,
                                       const std::string& folder) = 0;
  // A folder, without a trailing "/"; empty when cancelled.
  virtual std::string ChooseFolder(QWidget* parent, const std::string& prompt) = 0;
  // A line of text; nullopt when cancelled.
  virtual std::optional<std::string> AskText(QWidget* parent, const std::string& title,
                                             const std::string& prompt,
                                             const std::string& initial) = 0;
};

// Puts a window about to be shown in the middle of its owner when that is on the screen, else
// in the middle of the screen (a window manager would leave it at the top-left corner).
void CentreOverOwner(QWidget* window, QWidget* owner);

// Message boxes and file dialogs of Qt, each centred over its owner.
class SystemDialogs : public UserDialogs {
 public:
  void ShowMessage(QWidget* parent, const std::string& title, const std::string& text,
                   MessageIcon icon) override;
  bool AskYesNo(QWidget* parent, const std::string& title, const std::string& text) override;
  std::string ChooseFileToOpen(QWidget* parent, const std::string& title,
                               const std::string& filter) override;
  std::string ChooseFileToSave(QWidget* parent, const std::string& title, const std::string& filter,
                               const std::string& default_suffix,
                               const std::string& folder) override;
  std::string ChooseFolder(QWidget* parent, const std::string& prompt) override;
  std::optional<std::string> AskText(QWidget* parent, const std::string& title,
                                     const std::string& prompt,
                                     const std::string& initial) override;
};

// A filter of "description|patterns|..." pairs as Qt's file dialogs take it: each pair becomes
// "description (patterns)" with the patterns separated by blanks, pairs joined by ";;". "*.*"
// means every file, as it does where the filters come from.
std::string QtNameFilters(const std::string& filter);

}  // namespace vellumox
