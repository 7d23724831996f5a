#include "converter_ui/batch_interaction.h"

#include <cstdio>

namespace vellumox {

std::string ForTerminal(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      out += '\n';
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

void BatchInteraction::ShowMessage(const std::string& text, MessageIcon icon) {
  const char* prefix = icon == MessageIcon::kExclamation ? "vellumox: error: " : "vellumox: ";
  std::fprintf(stderr, "%s%s\n", prefix, ForTerminal(text).c_str());
}

bool BatchInteraction::AskYesNo(const std::string& text) {
  std::fprintf(stderr, "vellumox: %s [No]\n", ForTerminal(text).c_str());
  return false;
}

}  // namespace vellumox
