#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "ground/motion_preference.h"

namespace vistaloom {

// What each desktop says, where it says anything.
struct MotionAnswers {
    std::optional<uint32_t> portal;        // org.freedesktop.appearance reduced-motion: 1 asks
    std::optional<bool> gnome_animations;  // org.gnome.desktop.interface enable-animations
    std::optional<double> kde_duration;    // kdeglobals [KDE] AnimationDurationFactor
};

// Any desktop that asks for less motion is heard: a user who switched animations off in one
// of them wants it, whichever desktop the saver happens to run under.
bool wants_reduced_motion(const MotionAnswers& answers);

// Where the answers come from. The bus readers run only when a session bus is there to ask
// (none is ever started for them) and give up after a short wait.
struct MotionReaders {
    std::function<bool()> session_bus_present;
    std::function<std::optional<uint32_t>()> portal;
    std::function<std::optional<bool>()> gnome;
    std::function<std::optional<double>()> kde;
};

// The desktop's wish from the real sources: the desktop portal and GNOME's setting over the
// session bus, KDE's from its configuration file.
class DesktopMotion : public MotionPreference {
  public:
    DesktopMotion();
    explicit DesktopMotion(MotionReaders readers) : readers_(std::move(readers)) {}
    bool reduced_motion_wanted() override;

    // KDE's factor from a kdeglobals file; nothing when the file or the key is missing.
    static std::optional<double> read_kde_duration(const std::string& kdeglobals_path);

  private:
    MotionReaders readers_;
};

}  // namespace vistaloom
