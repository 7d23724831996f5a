// The user interaction of a run without a window: messages on standard error, every question
// answered with its default (No).
#pragma once

#include <string>

#include "writer/user_interaction.h"

namespace vellumox {

// Message texts hold carriage returns between their lines; on a terminal they read better as
// line feeds (a carriage return and line feed become one line feed).
std::string ForTerminal(const std::string& text);

class BatchInteraction : public UserInteraction {
 public:
  void ShowMessage(const std::string& text, MessageIcon icon) override;
  bool AskYesNo(const std::string& text) override;
};

}  // namespace vellumox
