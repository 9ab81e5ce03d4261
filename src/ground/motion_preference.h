#pragma once

namespace vistaloom {

// Whether the desktop asks programs for less animation (an accessibility setting). Read once
// per run; the settings decide what the saver does with it.
class MotionPreference {
  public:
    virtual ~MotionPreference() = default;
    virtual bool reduced_motion_wanted() = 0;
};

}  // namespace vistaloom
