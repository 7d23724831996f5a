// pagesize.ini: custom page sizes, one per line, written as the built-in entries are.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vellumox {

// A trimmed line is accepted when the number at its start and the number read from its last
// four characters are both above 0.
bool AcceptPageSizeLine(std::string_view trimmed_line);

// The sides a page may have, in inches: a size outside them would make a page no reader can
// show (a side of nothing, below zero, or larger than the numbers of a PDF reach).
inline constexpr double kMinPageSide = 1;
inline constexpr double kMaxPageSide = 200;

// The accepted lines of a file, trimmed, in file order; none when the file is missing or empty.
// A line that the rule above accepts but that gives a page side outside kMinPageSide to
// kMaxPageSide is refused too, and described in *warnings.
std::vector<std::string> ReadPageSizeFile(const std::string& path,
                                          std::vector<std::string>* warnings = nullptr);

// The custom sizes of the user's config folder's pagesize.ini when it exists, else of the
// program folder's.
std::vector<std::string> LoadCustomPageSizes(const std::string& program_folder,
                                             const std::string& user_config_folder,
                                             std::vector<std::string>* warnings = nullptr);

}  // namespace vellumox
