// The user interaction of a run without a window: messages on standard error, every question
// answered with its default (No).
#pragma once

#include <string>

#include "writer/user_interaction.h"

namespace vellumox {

class BatchInteraction : public UserInteraction {
 public:
  void ShowMessage(const std::string& text, MessageIcon icon) override;
  bool AskYesNo(const std::string& text) override;
};

}  // namespace vellumox
