#include "startup/output_files.h"

#include <cstdio>
#include <filesystem>
#include <ostream>

namespace vistaloom {

namespace {

constexpr int kExitUsage = 2;

}  // namespace

std::string output_file_problem(const std::string& path) {
    namespace fs = std::filesystem;
    if (path.empty()) return "no file name given";
    std::error_code error;
    const fs::path file(path);
    const auto existing = fs::status(file, error);
    if (fs::is_directory(existing)) return "'" + path + "' is a folder";
    // A FIFO or a device would hold the saver at its end in open(), deaf to the daemon's
    // SIGTERM, or take the picture nowhere.
    if (fs::exists(existing) && !fs::is_regular_file(existing))
        return "'" + path + "' is not a regular file";
    fs::path folder = file.parent_path();
    if (folder.empty()) folder = ".";
    const auto status = fs::status(folder, error);
    if (!fs::exists(status)) return "folder '" + folder.string() + "' does not exist";
    if (!fs::is_directory(status)) return "'" + folder.string() + "' is not a folder";
    return {};
}

std::optional<int> check_output_files(const CommandLine& command_line, std::ostream& err) {
    if (!command_line.screenshot) return std::nullopt;
    const std::string problem = output_file_problem(*command_line.screenshot);
    if (problem.empty()) return std::nullopt;
    err << "vistaloom: --screenshot: cannot write " << *command_line.screenshot << ": " << problem
        << '\n';
    return kExitUsage;
}

int exit_after_output(int code, std::ostream& out, std::ostream& err) {
    out.flush();
    if (out && std::fflush(stdout) == 0 && !std::ferror(stdout)) return code;
    err << "vistaloom: cannot write the output\n";
    return code == 0 ? 1 : code;
}

}  // namespace vistaloom
