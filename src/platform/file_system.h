// File and folder operations on paths. Failures never throw: they give false, -1 or empty
// results, and the functions that can tell why say so through an error number.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_handle.h"

namespace vellumox {

// The length of a regular file in bytes, or -1 on any error (a folder included).
int64_t FileLength(const std::string& path);

// True when path names a regular file of at least one byte. A missing file, a folder, an
// invalid path or any other error gives false, so an empty file counts as absent everywhere.
bool FileExists(const std::string& path);

bool IsRegularFile(const std::string& path);
bool IsFolder(const std::string& path);
// What a path names, symbolic links followed.
enum class FileType { kNone, kRegular, kFolder, kOther };  // kOther: a device, a FIFO, a socket
FileType TypeOf(const std::string& path);
// The same file, reached by whatever names.
bool SameFile(const std::string& a, const std::string& b);
// What tells a file apart from every other whatever its name: its device and inode; nullopt
// when it does not exist.
struct FileIdentity {
  uint64_t device = 0;
  uint64_t inode = 0;
  friend auto operator<=>(const FileIdentity&, const FileIdentity&) = default;
};
std::optional<FileIdentity> IdentityOf(const std::string& path);
// The identity of the file that standard input reads, when it is a regular file.
std::optional<FileIdentity> StandardInputIdentity();

// The whole file, one character per byte; empty when FileExists is false or reading fails.
std::string ReadFileText(const std::string& path);
// Up to max_bytes from the start of the file; empty when it cannot be read.
std::string ReadFileHead(const std::string& path, size_t max_bytes);
// Writes bytes as the whole content of the file, creating or truncating it; false with the
// error number in *error on failure.
bool WriteWholeFile(const std::string& path, std::string_view bytes, int* error = nullptr);

// Copies all of standard input into a new file, or a file's bytes to standard output; false
// with the error number in *error when reading or writing fails.
bool SaveStandardInput(const std::string& path, int* error = nullptr);
bool CopyToStandardOutput(const std::string& path, int* error = nullptr);

// The names in a folder, without "." and "..", in the order the file system gives them; empty
// when the folder cannot be read.
std::vector<std::string> ListFolder(const std::string& folder);

// The file that path finally names when it is a symbolic link (a chain of them followed, a
// dangling link's target included); path itself otherwise.
std::string FollowSymlinks(const std::string& path);
// The permission bits of a regular file, nullopt when there is none.
std::optional<unsigned> PermissionBits(const std::string& path);
// The owner and group of a regular file, nullopt when there is none.
struct FileOwner {
  uint32_t user = 0;
  uint32_t group = 0;
};
std::optional<FileOwner> OwnerOf(const std::string& path);

bool RemoveFile(const std::string& path);
// Copies a file to a name that must not exist yet; false with the error number in *error, and
// nothing left at to, when it cannot (to existing already included).
bool CopyFileToNew(const std::string& from, const std::string& to, int* error = nullptr);
// Renames from over to; false with the error number in *error.
bool RenameFile(const std::string& from, const std::string& to, int* error = nullptr);

// A new, hidden file beside path (".name.XXXXXX" in path's folder, eight bytes longer than the
// name, whose start alone is taken where that would be too long a name), made so that it did
// not exist before. The handle is not open when no such file could be
// made; *temp_path is then empty and the handle's Error() tells why.
FileHandle CreateFileBeside(const std::string& path, std::string* temp_path);

// A new file in folder named prefix + six random characters + suffix; empty when it cannot
// be made.
std::string CreateUniqueFile(const std::string& folder, std::string_view prefix,
                             std::string_view suffix);

// The system's description of an error number.
std::string SystemErrorText(int error);

}  // namespace vellumox
