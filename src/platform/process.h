// The session the program runs in: whether windows can be shown, and the helper programs it
// finds and runs. Helpers are started with fork and exec, so that limits can be set in the child
// before it runs; each ends with the process that started it (even one that is killed), and
// each obeys the stop path (stop.h).
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vellumox {

// True when windows can be shown: DISPLAY or WAYLAND_DISPLAY is set.
bool DisplayAvailable();

// Runs program in place of this process, with these arguments after its name (exec). Returns
// only when it cannot: the system's error number.
int ReplaceProcess(const std::string& program, const std::vector<std::string>& arguments);

// The full path of an executable program of that name in the folders of PATH; empty when there
// is none.
std::string FindProgram(std::string_view name);

struct SpawnRequest {
  std::string program;
  std::vector<std::string> arguments;
  std::vector<std::string> environment;  // "NAME=value" entries over this process's own
  bool pipes = false;           // the child's standard input and output are pipes to this process
  bool keep_output = false;     // otherwise its output (or, with pipes, its errors) is thrown away
  int64_t memory_limit = 0;     // bytes of address space; 0 for none
  int64_t file_size_limit = 0;  // bytes of any file it writes; 0 for none
};

struct SpawnedProcess {
  pid_t pid = -1;   // -1 when it could not be started
  int input = -1;   // with pipes: writes reach the child's standard input
  int output = -1;  // with pipes: the child's standard output
};

// Starts a helper. It is registered with the stop path until it is waited for.
SpawnedProcess Spawn(const SpawnRequest& request);
// Kills a helper, waits for it and closes its pipes.
void EndProcess(SpawnedProcess& process);
// Waits for a helper that has ended or is ending; its exit status, or -1 when a signal ended it.
int WaitProcess(SpawnedProcess& process);

// How a helper ended.
struct ProcessEnd {
  int exit_status = -1;  // when it exited; -1 when a signal ended it
  int signal = 0;        // the signal that ended it; 0 when it exited
};
// The system's name of a signal ("Killed", "Segmentation fault").
std::string SignalDescription(int signal);
// Whether a signal is one that a program's own fault raises (a bad memory access, an abort, an
// illegal instruction), rather than one sent to it from outside.
bool IsFaultSignal(int signal);

// For a helper that has closed its pipes (it has ended, or is ending): waits for it a moment,
// kills it when it is still there, and tells how it ended.
ProcessEnd EndedProcess(SpawnedProcess& process);

// What a stop does to a program that RunProgram waits for: a helper is killed at once; a
// program that cleans up after itself (the converter run by the album builder) is given the
// signal that asked for the stop, and waited for.
enum class OnStop { kKill, kPassOn };

struct ProgramResult {
  bool started = false;
  bool timed_out = false;  // killed after the time limit
  bool stopped = false;    // a stop was requested while it ran
  int exit_status = -1;    // the program's exit status; -1 when it did not exit normally
};

// Runs program with its arguments and waits for it to end, at most timeout: a program that
// takes longer is killed. Its output is thrown away unless keep_output, when it goes where this
// program's goes.
ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                         std::chrono::milliseconds timeout, bool keep_output = false,
                         OnStop on_stop = OnStop::kKill);

}  // namespace vellumox
