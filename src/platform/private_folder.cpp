#include "platform/private_folder.h"

#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "platform/file_system.h"
#include "platform/signals.h"

namespace vellumox {

PrivateFolder::~PrivateFolder() {
  Remove();
}

const std::string& PrivateFolder::Path() {
  if (path_.empty()) {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/vellumox-XXXXXX";
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

}  // namespace vellumox
