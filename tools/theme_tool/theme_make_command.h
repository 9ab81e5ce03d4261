#pragma once
#include <atomic>
#include <iosfwd>
#include <string>

namespace vistaloom {

// `make THEME FOLDER [--force]`: exit code 0 made, 1 failed, 130 interrupted (`cancel`).
int command_make(const std::string& base, const std::string& folder, bool force, std::ostream& out,
                 std::ostream& err, const std::atomic<bool>* cancel);

}  // namespace vistaloom
