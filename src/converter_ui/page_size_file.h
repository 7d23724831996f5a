// pagesize.ini: custom page sizes, one per line, written as the built-in entries are.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vellumox {

// A trimmed line is accepted when the number at its start and the number read from its last
// four characters are both above 0.
bool AcceptPageSizeLine(std::string_view trimmed_line);

// The accepted lines of a file, trimmed, in file order; none when the file is missing or empty.
std::vector<std::string> ReadPageSizeFile(const std::string& path);

// The custom sizes of the user's config folder's pagesize.ini when it exists, else of the
// program folder's.
std::vector<std::string> LoadCustomPageSizes(const std::string& program_folder,
                                             const std::string& user_config_folder);

}  // namespace vellumox
