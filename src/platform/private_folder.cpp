#include "platform/private_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <utility>
#include <vector>

#include "platform/file_system.h"
#include "platform/stop.h"

namespace vellumox {

PrivateFolder::~PrivateFolder() {
  Remove();
}

const std::string& PrivateFolder::Path() {
  if (path_.empty()) {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/" + prefix_ + "XXXXXX";
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    if (::mkdtemp(buf.data())) {
      path_ = buf.data();
      RegisterTemporaryFolder(path_);
    }
  }
  return path_;
}

std::string PrivateFolder::File(const std::string& name) {
  return Path() + "/" + name;
}

void PrivateFolder::Remove() {
  if (path_.empty()) return;
  // Only files are made inside, never folders.
  for (const std::string& name : ListFolder(path_)) RemoveFile(path_ + "/" + name);
  ::rmdir(path_.c_str());
  UnregisterTemporaryFolder(path_);
  path_.clear();
}

std::string PrivateFolder::Release() {
  if (!path_.empty()) UnregisterTemporaryFolder(path_);
  return std::exchange(path_, std::string());
}

bool PrivateFolder::Adopt(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  const std::string_view name =
      std::string_view(path).substr(slash == std::string::npos ? 0 : slash + 1);
  struct stat st;
  if (name.substr(0, prefix_.size()) != prefix_ || name.size() <= prefix_.size() ||
      ::lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid() ||
      (st.st_mode & 077) != 0) {
    return false;
  }
  Remove();
  path_ = path;
  RegisterTemporaryFolder(path_);
  return true;
}

}  // namespace vellumox
