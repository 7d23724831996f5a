// What the process does on signals: SIGINT, SIGTERM and SIGHUP end it with status 128 + the
// signal after removing the temporary files and folders that its conversions have registered
// (a partial PDF, converted pictures); SIGXFSZ is ignored, so that a write past the file-size
// limit fails with an error the conversion reports instead of killing the process.
//
// The registry is the one piece of process-wide state of the core: signals are process-wide by
// nature. Conversions register and unregister their own files; nothing else reads it.
#pragma once

#include <string>

namespace vellumox {

// Call once, early in main(), before any thread is started: threads made later inherit the
// blocked signals, and a thread of its own waits for them.
void InstallSignalHandling();

// Files and folders to remove should the process be ended by a signal. Unregister them once
// they are finished (renamed into place) or removed. Safe from any thread.
void RegisterTemporaryFile(const std::string& path);
void UnregisterTemporaryFile(const std::string& path);
void RegisterTemporaryFolder(const std::string& path);
void UnregisterTemporaryFolder(const std::string& path);

}  // namespace vellumox
