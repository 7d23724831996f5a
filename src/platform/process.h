// The session the program runs in: whether windows can be shown, and the helper programs it
// finds and runs.
#pragma once

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

namespace vellumox {

// True when windows can be shown: DISPLAY or WAYLAND_DISPLAY is set.
bool DisplayAvailable();

// The full path of an executable program of that name in the folders of PATH; empty when there
// is none.
std::string FindProgram(std::string_view name);

struct ProgramResult {
  bool started = false;
  bool timed_out = false;  // killed after the time limit
  int exit_status = -1;    // the program's exit status; -1 when it did not exit normally
};

// Runs program with its arguments and waits for it to end, at most timeout: a program that
// takes longer is killed. Its output is thrown away unless keep_output, when it goes where this
// program's goes.
ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                         std::chrono::milliseconds timeout, bool keep_output = false);

}  // namespace vellumox
