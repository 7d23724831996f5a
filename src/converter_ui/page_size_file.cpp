#include "converter_ui/page_size_file.h"

#include "platform/file_system.h"
#include "writer/input_text.h"
#include "writer/number_text.h"

namespace vellumox {

bool AcceptPageSizeLine(std::string_view line) {
  std::string_view tail = line.substr(line.size() - std::min<size_t>(4, line.size()));
  return ReadNumber(line) > 0 && ReadNumber(tail) > 0;
}

std::vector<std::string> ReadPageSizeFile(const std::string& path) {
  std::vector<std::string> sizes;
  if (!FileExists(path)) return sizes;
  InputTextReader reader;
  if (!reader.Open(path)) return sizes;
  std::string line;
  while (reader.NextLine(line)) {
    size_t first = line.find_first_not_of(' ');
    if (first == std::string::npos) continue;
    std::string trimmed = line.substr(first, line.find_last_not_of(' ') - first + 1);
    if (AcceptPageSizeLine(trimmed)) sizes.push_back(trimmed);
  }
  return sizes;
}

std::vector<std::string> LoadCustomPageSizes(const std::string& program_folder,
                                             const std::string& user_config_folder) {
  std::string user = user_config_folder + "/pagesize.ini";
  if (FileExists(user)) return ReadPageSizeFile(user);
  return ReadPageSizeFile(program_folder + "/pagesize.ini");
}

}  // namespace vellumox
