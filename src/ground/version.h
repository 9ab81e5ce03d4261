#pragma once
#include <string>

// The build names the version once, from the project's own version number.
#if !defined(VISTALOOM_VERSION_MAJOR) || !defined(VISTALOOM_VERSION_MINOR) || \
    !defined(VISTALOOM_VERSION_PATCH)
#error "the build must define VISTALOOM_VERSION_MAJOR, _MINOR and _PATCH"
#endif

namespace vistaloom {

struct VersionNumber {
    int major;
    int minor;
    int patch;
};

inline constexpr VersionNumber kVersion{VISTALOOM_VERSION_MAJOR, VISTALOOM_VERSION_MINOR,
                                        VISTALOOM_VERSION_PATCH};

// "0.1.0".
inline std::string version_string() {
    return std::to_string(kVersion.major) + "." + std::to_string(kVersion.minor) + "." +
           std::to_string(kVersion.patch);
}

}  // namespace vistaloom
