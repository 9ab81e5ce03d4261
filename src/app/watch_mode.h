#pragma once

#include "startup/command_line.h"

namespace vistaloom {

// `vistaloom --watch`: waits for the user to be idle, runs the saver as a child process,
// waits again when it has ended; ends with the session. Runs without widgets or a window
// system plugin, so that a process which waits all day stays small. The exit status.
int run_watch_mode(const CommandLine& command_line, char* program_path);

}  // namespace vistaloom
