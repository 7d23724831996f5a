#include "writer/private_folder.h"

#include <dirent.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

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
    if (::mkdtemp(buf.data())) path_ = buf.data();
  }
  return path_;
}

std::string PrivateFolder::File(const std::string& name) {
  return Path() + "/" + name;
}

void PrivateFolder::Remove() {
  if (path_.empty()) return;
  // Only files are made inside, never folders.
  if (DIR* dir = ::opendir(path_.c_str())) {
    while (dirent* entry = ::readdir(dir)) {
      std::string name = entry->d_name;
      if (name == "." || name == "..") continue;
      ::unlink((path_ + "/" + name).c_str());
    }
    ::closedir(dir);
  }
  ::rmdir(path_.c_str());
  path_.clear();
}

}  // namespace vellumox
