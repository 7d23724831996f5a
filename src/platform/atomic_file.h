// A file written under a hidden temporary name beside its target and renamed over it only when
// it is complete: a failed or stopped write never leaves half a file behind and never touches an
// earlier file of that name. A target that is a symbolic link is written through to the file it
// names; only a regular file is ever replaced (never a folder, a device or a pipe), and the new
// file keeps the old one's owner, group (as far as this process may give them) and permissions.
// The temporary file is registered with the stop path until it is renamed or removed.
#pragma once

#include <cstdint>
#include <string>

#include "platform/file_handle.h"

namespace vellumox {

class AtomicFile {
 public:
  enum class OpenFailure { kNone, kFolder, kNotRegular, kNoFreeName, kSystem };

  AtomicFile() = default;
  ~AtomicFile() { Discard(); }
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // Creates the temporary twin of target; false with Failure() and Error() when it cannot.
  bool Open(const std::string& target);
  bool IsOpen() const { return file_.IsOpen(); }
  OpenFailure Failure() const { return failure_; }
  // The error number of the last failed call.
  int Error() const { return error_ ? error_ : file_.Error(); }

  bool Write(const void* data, size_t size) { return file_.WriteAll(data, size); }
  // Appends count bytes of source from its position (inside the kernel where it can); the
  // count copied.
  int64_t CopyFrom(FileHandle& source, int64_t count) { return file_.CopyFrom(source, count); }
  // Closes the file and renames it over the target; false (the temporary file removed) when
  // either fails.
  bool Commit();
  // Closes and removes the temporary file, if any.
  void Discard();
  const std::string& TemporaryPath() const { return temp_path_; }

 private:
  FileHandle file_;
  std::string target_;
  std::string temp_path_;
  OpenFailure failure_ = OpenFailure::kNone;
  int error_ = 0;
};

}  // namespace vellumox
