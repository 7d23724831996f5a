#include "platform/signals.h"

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/file_system.h"

namespace vellumox {

namespace {

struct Registry {
  std::mutex mutex;
  std::vector<std::string> files;
  std::vector<std::string> folders;
};

Registry& TheRegistry() {
  static Registry* registry = new Registry;  // never destroyed: the signal thread may use it
  return *registry;
}

// Adds a path to one of the registry's lists, or takes it out.
void Change(std::vector<std::string> Registry::*list, const std::string& path, bool add) {
  Registry& r = TheRegistry();
  std::lock_guard<std::mutex> lock(r.mutex);
  std::vector<std::string>& paths = r.*list;
  if (add) {
    paths.push_back(path);
  } else if (auto it = std::find(paths.begin(), paths.end(), path); it != paths.end()) {
    paths.erase(it);
  }
}

void RemoveEverything() {
  Registry& r = TheRegistry();
  std::lock_guard<std::mutex> lock(r.mutex);
  for (const std::string& file : r.files) RemoveFile(file);
  for (const std::string& folder : r.folders) {
    for (const std::string& name : ListFolder(folder)) RemoveFile(folder + "/" + name);
    ::rmdir(folder.c_str());
  }
}

}  // namespace

void InstallSignalHandling() {
  ::signal(SIGXFSZ, SIG_IGN);
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGHUP);
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
  std::thread([set] {
    int signal_number = 0;
    while (sigwait(&set, &signal_number) != 0) {
    }
    RemoveEverything();
    ::_exit(128 + signal_number);
  }).detach();
}

void RegisterTemporaryFile(const std::string& path) {
  Change(&Registry::files, path, true);
}

void UnregisterTemporaryFile(const std::string& path) {
  Change(&Registry::files, path, false);
}

void RegisterTemporaryFolder(const std::string& path) {
  Change(&Registry::folders, path, true);
}

void UnregisterTemporaryFolder(const std::string& path) {
  Change(&Registry::folders, path, false);
}

}  // namespace vellumox
