#include "platform/system/session_bus.h"

#include <sys/stat.h>

#include <cstdlib>
#include <string>

namespace vistaloom {

namespace {

bool user_bus_socket_exists() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime == nullptr || *runtime == '\0') return false;
    struct stat info {};
    const std::string socket = std::string(runtime) + "/bus";
    return ::stat(socket.c_str(), &info) == 0 && S_ISSOCK(info.st_mode);
}

}  // namespace

void keep_session_bus_from_autolaunching() {
    const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    if ((address != nullptr && *address != '\0') || user_bus_socket_exists()) return;
    // An address of a kind the library does not know fails at once, with no bus started.
    ::setenv("DBUS_SESSION_BUS_ADDRESS", "disabled:", 1);
}

}  // namespace vistaloom
