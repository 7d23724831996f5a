#include "platform/atomic_file.h"

#include <cerrno>
#include <optional>

#include "platform/file_system.h"
#include "platform/stop.h"

namespace vellumox {

bool AtomicFile::Open(const std::string& target) {
  Discard();
  failure_ = OpenFailure::kNone;
  error_ = 0;
  target_ = FollowSymlinks(target);
  switch (TypeOf(target_)) {
    case FileType::kFolder:
      failure_ = OpenFailure::kFolder;
      return false;
    case FileType::kOther:
      failure_ = OpenFailure::kNotRegular;
      return false;
    case FileType::kNone:
    case FileType::kRegular:
      break;
  }
  file_ = CreateFileBeside(target_, &temp_path_);
  if (!file_.IsOpen()) {
    error_ = file_.Error();
    failure_ = error_ == EEXIST ? OpenFailure::kNoFreeName : OpenFailure::kSystem;
    return false;
  }
  RegisterTemporaryFile(temp_path_);
  // The owner first: a change of owner may clear permission bits.
  if (std::optional<FileOwner> owner = OwnerOf(target_)) {
    file_.SetOwner(owner->user, owner->group);
  }
  if (std::optional<unsigned> bits = PermissionBits(target_)) file_.SetPermissions(*bits);
  return true;
}

bool AtomicFile::Commit() {
  if (!file_.Close()) {
    error_ = file_.Error();
    Discard();
    return false;
  }
  if (!RenameFile(temp_path_, target_, &error_)) {
    Discard();
    return false;
  }
  UnregisterTemporaryFile(temp_path_);
  temp_path_.clear();
  return true;
}

void AtomicFile::Discard() {
  file_.Close();
  if (temp_path_.empty()) return;
  RemoveFile(temp_path_);
  UnregisterTemporaryFile(temp_path_);
  temp_path_.clear();
}

}  // namespace vellumox
