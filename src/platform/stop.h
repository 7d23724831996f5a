// The one way the process stops. SIGINT, SIGTERM and SIGHUP, a closed pipe (standard output
// whose reader has gone), and the window's Stop all become one request that a conversion, its
// worker threads and its helper processes obey: they end what they are doing at the next line
// or picture, helpers are ended and waited for, temporary files and folders are removed, and a
// signal ends the program with 128 + its number. A thread blocked in a read, a write or a wait
// wakes for it (WaitFor).
//
// The stop request and the registry below are the process-wide state of the core: signals are
// process-wide by nature. Conversions register and unregister their own files and helpers;
// nothing else reads the registry.
#pragma once

#include <sys/types.h>

#include <functional>
#include <string>

namespace vellumox {

// Call once, early in main(), before any thread is started: the three signals are blocked in
// every thread (threads made later inherit that) and received by a thread of its own; SIGPIPE
// and SIGXFSZ are ignored, so that a closed pipe and a write past the file-size limit fail with
// an error (EPIPE is then taken as a stop, EFBIG reported) instead of killing the process.
void InstallStopHandling();

// Runs the body of main(): an exception that escapes it (memory that ran out where nothing
// expected it) is told on standard error, after the unwinding removed the partial output and
// the temporary files of the run, and ends the program with status 1. An exception that escapes
// another thread ends the program too, with what the registry below holds removed first.
int RunMain(const std::function<int()>& body);

// Asks everything to stop. signal is the signal that asked (SIGPIPE for a closed pipe), or 0
// for the window's Stop, which ends the job but not the program.
void RequestStop(int signal);
bool StopRequested();
// The signal that asked for the stop; 0 when none did.
int StopSignal();
// Forgets a Stop of the window once the job has obeyed it (a signal is never forgotten).
void ClearStop();

// A descriptor that becomes readable when a stop is requested, for event loops that watch
// descriptors (a window's).
int StopDescriptor();

enum class WaitResult { kReady, kStopped, kTimedOut, kError };
// Waits until fd is ready for events (POLLIN, POLLOUT), at most timeout_ms (-1: no limit),
// waking as soon as a stop is requested.
WaitResult WaitFor(int fd, short events, int timeout_ms);

// Files and folders to remove, and helper processes to end, should the process have to end
// before their owners could (a stop not obeyed within a few seconds, or a second signal).
// Unregister them once they are finished, removed or waited for. Safe from any thread.
void RegisterTemporaryFile(const std::string& path);
void UnregisterTemporaryFile(const std::string& path);
void RegisterTemporaryFolder(const std::string& path);
void UnregisterTemporaryFolder(const std::string& path);
void RegisterHelper(pid_t pid);
void UnregisterHelper(pid_t pid);

}  // namespace vellumox
