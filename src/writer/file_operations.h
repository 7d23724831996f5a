// The two small file operations that the whole converter uses.
#pragma once

#include <cstdint>
#include <string>

namespace vellumox {

// True when path names a regular file of at least one byte. A missing file, a folder, an
// invalid path or any other error gives false, so an empty file counts as absent everywhere.
bool FileExists(const std::string& path);

// The length of the file in bytes, or -1 on any error.
int64_t FileLength(const std::string& path);

// The whole file, one character per byte; empty when FileExists is false or reading fails.
std::string ReadFileText(const std::string& path);

}  // namespace vellumox
