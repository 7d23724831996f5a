#include "run/page_size_file.h"

#include "platform/file_system.h"
#include "run/controls_model.h"
#include "writer/code_page.h"
#include "writer/input_text.h"
#include "writer/number_text.h"

namespace vellumox {

bool AcceptPageSizeLine(std::string_view line) {
  std::string_view tail = line.substr(line.size() - std::min<size_t>(4, line.size()));
  return ReadNumber(line) > 0 && ReadNumber(tail) > 0;
}

std::vector<std::string> ReadPageSizeFile(const std::string& path,
                                          std::vector<std::string>* warnings) {
  std::vector<std::string> sizes;
  if (!FileExists(path)) return sizes;
  InputTextReader reader;
  if (!reader.Open(path)) return sizes;
  std::string line;
  for (int number = 1; reader.NextLine(line); ++number) {
    size_t first = line.find_first_not_of(' ');
    if (first == std::string::npos) continue;
    std::string trimmed = line.substr(first, line.find_last_not_of(' ') - first + 1);
    if (!AcceptPageSizeLine(trimmed)) continue;
    const PageSize size = PageSizeOf(trimmed);
    auto within = [](double side) { return side >= kMinPageSide && side <= kMaxPageSide; };
    if (within(size.width) && within(size.height)) {
      sizes.push_back(trimmed);
    } else if (warnings) {
      warnings->push_back(path + " line " + std::to_string(number) + " '" +
                          Windows1252ToUtf8(trimmed.substr(0, 60)) +
                          "': a page must be 1 to 200 inches on each side; the line is ignored");
    }
  }
  return sizes;
}

std::vector<std::string> LoadCustomPageSizes(const std::string& program_folder,
                                             const std::string& user_config_folder,
                                             std::vector<std::string>* warnings) {
  std::string user = user_config_folder + "/pagesize.ini";
  if (FileExists(user)) return ReadPageSizeFile(user, warnings);
  return ReadPageSizeFile(program_folder + "/pagesize.ini", warnings);
}

}  // namespace vellumox
