#include "platform/process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "platform/stop.h"

extern char** environ;

namespace vellumox {

int ReplaceProcess(const std::string& program, const std::vector<std::string>& arguments) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  ::execv(program.c_str(), argv.data());
  return errno;
}

bool DisplayAvailable() {
  const char* x11 = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  return (x11 && *x11) || (wayland && *wayland);
}

std::string FindProgram(std::string_view name) {
  const char* path = std::getenv("PATH");
  std::string dirs = path && *path ? path : "/usr/local/bin:/usr/bin:/bin";
  size_t start = 0;
  while (start <= dirs.size()) {
    size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    std::string candidate = dirs.substr(start, end - start) + "/" + std::string(name);
    if (::access(candidate.c_str(), X_OK) == 0) return candidate;
    start = end + 1;
  }
  return std::string();
}

namespace {

void CloseBoth(int fds[2]) {
  for (int i = 0; i < 2; ++i) {
    if (fds[i] >= 0) ::close(fds[i]);
    fds[i] = -1;
  }
}

void SetLimit(int resource, int64_t bytes) {
  if (bytes <= 0) return;
  rlimit limit{static_cast<rlim_t>(bytes), static_cast<rlim_t>(bytes)};
  ::setrlimit(resource, &limit);
}

}  // namespace

SpawnedProcess Spawn(const SpawnRequest& request) {
  SpawnedProcess process;
  // Everything the child needs is made before the fork: after it, in a process with threads,
  // only calls that are safe in a signal handler may run until exec.
  std::vector<std::string> args;
  args.push_back(request.program);
  args.insert(args.end(), request.arguments.begin(), request.arguments.end());
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) {
    const std::string_view entry(*e);
    bool replaced = false;
    for (const std::string& own : request.environment) {
      const size_t eq = own.find('=');
      replaced = replaced || entry.substr(0, eq + 1) == std::string_view(own).substr(0, eq + 1);
    }
    if (!replaced) env.emplace_back(entry);
  }
  env.insert(env.end(), request.environment.begin(), request.environment.end());
  std::vector<char*> envp;
  for (std::string& entry : env) envp.push_back(entry.data());
  envp.push_back(nullptr);

  int to_child[2] = {-1, -1}, from_child[2] = {-1, -1};
  if (request.pipes && (::pipe2(to_child, O_CLOEXEC) != 0 || ::pipe2(from_child, O_CLOEXEC) != 0)) {
    CloseBoth(to_child);
    CloseBoth(from_child);
    return process;
  }
  const int null = ::open("/dev/null", O_RDWR | O_CLOEXEC);
  const pid_t parent = ::getpid();
  const pid_t pid = ::fork();
  if (pid == 0) {
    // The child ends with its parent, whichever way the parent ends.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent) ::_exit(127);
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    ::signal(SIGPIPE, SIG_DFL);
    ::signal(SIGXFSZ, SIG_DFL);
    if (request.pipes) {
      ::dup2(to_child[0], 0);
      ::dup2(from_child[1], 1);
      if (!request.keep_output && null >= 0) ::dup2(null, 2);
    } else if (!request.keep_output && null >= 0) {
      ::dup2(null, 1);
      ::dup2(null, 2);
    }
    SetLimit(RLIMIT_AS, request.memory_limit);
    SetLimit(RLIMIT_FSIZE, request.file_size_limit);
    ::execve(request.program.c_str(), argv.data(), envp.data());
    ::_exit(127);
  }
  if (null >= 0) ::close(null);
  if (pid < 0) {
    CloseBoth(to_child);
    CloseBoth(from_child);
    return process;
  }
  RegisterHelper(pid);
  process.pid = pid;
  if (request.pipes) {
    ::close(to_child[0]);
    ::close(from_child[1]);
    process.input = to_child[1];
    process.output = from_child[0];
  }
  return process;
}

int WaitProcess(SpawnedProcess& process) {
  if (process.pid < 0) return -1;
  for (int fd : {process.input, process.output}) {
    if (fd >= 0) ::close(fd);
  }
  process.input = process.output = -1;
  int status = 0;
  while (::waitpid(process.pid, &status, 0) < 0 && errno == EINTR) {
  }
  UnregisterHelper(process.pid);
  process.pid = -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string SignalDescription(int signal) {
  const char* text = ::strsignal(signal);
  return text ? text : "signal " + std::to_string(signal);
}

bool IsFaultSignal(int signal) {
  return signal == SIGSEGV || signal == SIGBUS || signal == SIGILL || signal == SIGFPE ||
         signal == SIGABRT || signal == SIGTRAP;
}

ProcessEnd EndedProcess(SpawnedProcess& process) {
  ProcessEnd end;
  if (process.pid < 0) return end;
  for (int fd : {process.input, process.output}) {
    if (fd >= 0) ::close(fd);
  }
  process.input = process.output = -1;
  int status = 0;
  pid_t done = 0;
  for (int waited = 0; waited < 200; ++waited) {  // two seconds at most
    done = ::waitpid(process.pid, &status, WNOHANG);
    if (done != 0 && !(done < 0 && errno == EINTR)) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  if (done == 0) {
    ::kill(process.pid, SIGKILL);
    while (::waitpid(process.pid, &status, 0) < 0 && errno == EINTR) {
    }
  }
  UnregisterHelper(process.pid);
  process.pid = -1;
  if (WIFEXITED(status)) end.exit_status = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) end.signal = WTERMSIG(status);
  return end;
}

void EndProcess(SpawnedProcess& process) {
  if (process.pid < 0) return;
  ::kill(process.pid, SIGKILL);
  WaitProcess(process);
}

ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                         std::chrono::milliseconds timeout, bool keep_output, OnStop on_stop) {
  ProgramResult result;
  SpawnRequest request;
  request.program = program;
  request.arguments = arguments;
  request.keep_output = keep_output;
  SpawnedProcess process = Spawn(request);
  if (process.pid < 0) return result;
  result.started = true;
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  bool passed_on = false;
  int status = 0;
  for (;;) {
    const pid_t done = ::waitpid(process.pid, &status, WNOHANG);
    if (done == process.pid) break;
    if (done < 0 && errno != EINTR) break;
    if (StopRequested() && !passed_on) {
      result.stopped = true;
      if (on_stop == OnStop::kKill) {
        EndProcess(process);
        return result;
      }
      ::kill(process.pid, StopSignal() != 0 ? StopSignal() : SIGTERM);
      passed_on = true;
    }
    if (std::chrono::steady_clock::now() > deadline) {
      EndProcess(process);
      result.timed_out = true;
      return result;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  UnregisterHelper(process.pid);
  if (WIFEXITED(status)) result.exit_status = WEXITSTATUS(status);
  return result;
}

}  // namespace vellumox
