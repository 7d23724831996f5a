#include "platform/stop.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>  // program_invocation_short_name too
#include <chrono>
#include <cstdio>
#include <exception>
#include <mutex>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "platform/file_system.h"

namespace vellumox {

namespace {

// How long a stop may take before the process ends without its owners' help.
constexpr int kGraceSeconds = 10;

struct StopState {
  std::atomic<bool> requested{false};
  std::atomic<int> signal{0};
  int wake[2] = {-1, -1};  // a pipe that holds a byte while a stop is requested
};

StopState& State() {
  // Never destroyed: the signal thread may use it while the program ends.
  static StopState* state = [] {
    auto* s = new StopState;
    if (::pipe2(s->wake, O_CLOEXEC | O_NONBLOCK) != 0) s->wake[0] = s->wake[1] = -1;
    return s;
  }();
  return *state;
}

struct Registry {
  std::mutex mutex;
  std::vector<std::string> files;
  std::vector<std::string> folders;
  std::vector<pid_t> helpers;
};

Registry& TheRegistry() {
  static Registry* registry = new Registry;  // never destroyed, as above
  return *registry;
}

template <class T>
void Change(std::vector<T> Registry::*list, const T& item, bool add) {
  Registry& r = TheRegistry();
  std::lock_guard<std::mutex> lock(r.mutex);
  std::vector<T>& items = r.*list;
  if (add) {
    items.push_back(item);
  } else if (auto it = std::find(items.begin(), items.end(), item); it != items.end()) {
    items.erase(it);
  }
}

// What the owners did not remove: helpers ended, files and folders removed. The caller holds
// the registry's lock.
void RemoveWhatIsLeft(Registry& r) {
  for (pid_t pid : r.helpers) ::kill(pid, SIGKILL);
  for (const std::string& file : r.files) RemoveFile(file);
  for (const std::string& folder : r.folders) {
    for (const std::string& name : ListFolder(folder)) RemoveFile(folder + "/" + name);
    ::rmdir(folder.c_str());
  }
}

// The last resort: what the owners could not remove in time.
[[noreturn]] void EndNow(int signal_number) {
  Registry& r = TheRegistry();
  {
    std::lock_guard<std::mutex> lock(r.mutex);
    RemoveWhatIsLeft(r);
  }
  ::_exit(128 + signal_number);
}

// An exception that nothing caught (in any thread) ends the program; before it does, nothing
// of the run is left behind. The lock is waited for a little only: the thread that failed may
// hold it.
[[noreturn]] void EndOnUncaughtException() {
  std::string what = "an unexpected error";
  try {
    if (std::exception_ptr e = std::current_exception()) std::rethrow_exception(e);
  } catch (const std::bad_alloc&) {
    what = "out of memory";
  } catch (const std::exception& e) {
    what = e.what();
  } catch (...) {
  }
  std::fprintf(stderr, "%s: %s; the run's partial files are removed\n",
               program_invocation_short_name, what.c_str());
  Registry& r = TheRegistry();
  std::unique_lock<std::mutex> lock(r.mutex, std::defer_lock);
  for (int i = 0; i < 100 && !lock.try_lock(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  if (lock.owns_lock()) RemoveWhatIsLeft(r);
  std::abort();
}

}  // namespace

void InstallStopHandling() {
  std::set_terminate(EndOnUncaughtException);
  ::signal(SIGXFSZ, SIG_IGN);
  ::signal(SIGPIPE, SIG_IGN);
  State();  // the wake pipe exists before any thread may wait on it
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGHUP);
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
  std::thread([set] {
    int first = 0;
    while (sigwait(&set, &first) != 0) {
    }
    RequestStop(first);
    // The owners clean up and the program ends on its own; a second signal, or a stop that
    // takes too long, ends it here.
    const timespec grace{kGraceSeconds, 0};
    siginfo_t info;
    while (sigtimedwait(&set, &info, &grace) < 0 && errno == EINTR) {
    }
    EndNow(first);
  }).detach();
}

int RunMain(const std::function<int()>& body) {
  std::string what;
  try {
    return body();
  } catch (const std::bad_alloc&) {
    what = "out of memory";
  } catch (const std::exception& e) {
    what = e.what();
  }
  std::fprintf(stderr, "%s: error: %s; nothing of the run is left behind\n",
               program_invocation_short_name, what.c_str());
  return 1;
}

void RequestStop(int signal_number) {
  StopState& s = State();
  if (signal_number != 0) s.signal.store(signal_number);
  if (!s.requested.exchange(true) && s.wake[1] >= 0) {
    const char byte = 1;
    [[maybe_unused]] ssize_t n = ::write(s.wake[1], &byte, 1);
  }
}

bool StopRequested() {
  return State().requested.load(std::memory_order_relaxed);
}

int StopSignal() {
  return State().signal.load();
}

void ClearStop() {
  StopState& s = State();
  if (s.signal.load() != 0 || !s.requested.exchange(false)) return;
  char byte;
  while (s.wake[0] >= 0 && ::read(s.wake[0], &byte, 1) > 0) {
  }
}

int StopDescriptor() {
  return State().wake[0];
}

WaitResult WaitFor(int fd, short events, int timeout_ms) {
  pollfd fds[2] = {{fd, events, 0}, {State().wake[0], POLLIN, 0}};
  for (;;) {
    if (StopRequested()) return WaitResult::kStopped;
    const int n = ::poll(fds, fds[1].fd >= 0 ? 2 : 1, timeout_ms);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return WaitResult::kError;
    if (n == 0) return WaitResult::kTimedOut;
    if (StopRequested()) return WaitResult::kStopped;
    if (fds[0].revents != 0) return WaitResult::kReady;
  }
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

void RegisterHelper(pid_t pid) {
  Change(&Registry::helpers, pid, true);
}

void UnregisterHelper(pid_t pid) {
  Change(&Registry::helpers, pid, false);
}

}  // namespace vellumox
