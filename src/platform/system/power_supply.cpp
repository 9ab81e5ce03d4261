#include "platform/system/power_supply.h"

#include <filesystem>
#include <fstream>

namespace vistaloom {

namespace {

// The first line of a small attribute file, without its line end; empty when unreadable.
std::string attribute(const std::filesystem::path& supply, const char* name) {
    std::ifstream in(supply / name);
    std::string line;
    std::getline(in, line);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r' || line.back() == ' '))
        line.pop_back();
    return line;
}

}  // namespace

bool on_battery_power(const std::string& root) {
    std::error_code error;
    bool discharging = false;
    for (std::filesystem::directory_iterator it(root, error), end; !error && it != end;
         it.increment(error)) {
        const std::string type = attribute(it->path(), "type");
        // A charger of any kind that is plugged in means the battery is not what we run on.
        if ((type == "Mains" || type == "USB") && attribute(it->path(), "online") == "1")
            return false;
        if (type == "Battery" && attribute(it->path(), "status") == "Discharging")
            discharging = true;
    }
    return discharging;
}

}  // namespace vistaloom
