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

void Erase(std::vector<std::string>& list, const std::string& path) {
  auto it = std::find(list.begin(), list.end(), path);
  if (it != list.end()) list.erase(it);
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
  Registry& r = TheRegistry();
  std::lock_guard<std::mutex> lock(r.mutex);
  r.files.push_back(path);
}

void UnregisterTemporaryFile(const std::string& path) {
  Registry& r = TheRegistry();
  std::lock_guard<std::mutex> lock(r.mutex);
  Erase(r.files, path);
}

void RegisterTemporaryFolder(const std::string& path) {
  Registry& r = TheRegistry();
  std::lock_guard<std::mutex> lock(r.mutex);
  r.folders.push_back(path);
}

void UnregisterTemporaryFolder(const std::string& path) {
  Registry& r = TheRegistry();
  std::lock_guard<std::mutex> lock(r.mutex);
  Erase(r.folders, path);
}

}  // namespace vellumox
