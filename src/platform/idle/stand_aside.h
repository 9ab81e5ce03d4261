#pragma once
#include <string>

class QDBusConnection;

namespace vistaloom {

// The screen-saver daemon that already manages this session (XScreenSaver, MATE's or Xfce's
// screensaver), named for a message; empty when there is none. Those daemons run the saver
// themselves, and a watcher beside them would start it a second time.
std::string session_saver_daemon(QDBusConnection& bus);

}  // namespace vistaloom
