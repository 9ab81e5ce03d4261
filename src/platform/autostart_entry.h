#pragma once
#include <string>

namespace vistaloom {

// The XDG autostart entry that starts the idle watcher with the user's desktop:
// $XDG_CONFIG_HOME/autostart/vistaloom-watch.desktop (default ~/.config). Desktops that
// follow the XDG autostart rules (GNOME, KDE Plasma, Xfce, MATE, Cinnamon, LXQt) run it at
// log-in; the compositors that do not (sway, Hyprland, i3) need a line in their own
// configuration, which the README gives.
std::string autostart_entry_path();

// The entry that runs `program --watch`, the program's path quoted as entries require.
std::string autostart_entry_text(const std::string& program);

// Whether the entry is there and not switched off (Hidden, or GNOME's enabled key false).
bool autostart_entry_enabled();

// Writes the entry for `program` (whole or not at all) or removes it. False, with `why` set
// to one line, when that could not be done; nothing is changed then.
bool set_autostart_entry(bool on, const std::string& program, std::string& why);

}  // namespace vistaloom
