#pragma once
#include <iosfwd>
#include <optional>
#include <string>

#include "startup/command_line.h"

namespace vistaloom {

// What is wrong with `path` as a file to create at the end of a run: its folder missing or
// no folder, or the name itself a folder, a FIFO, a device or anything but a regular file. Empty when it can be tried. Checked before the run
// starts, so a mistyped folder is not found out only after the last frame.
std::string output_file_problem(const std::string& path);

// For main(): reports a --screenshot that cannot be written, on `err`, and gives the exit
// status of a bad command line; nullopt when every output file can be tried.
std::optional<int> check_output_files(const CommandLine& command_line, std::ostream& err);

// For main(): `code` once the standard output has been flushed, or 1 with a message on
// `err` when what was printed (usage, version) could not be written, as to a full device.
int exit_after_output(int code, std::ostream& out, std::ostream& err);

}  // namespace vistaloom
