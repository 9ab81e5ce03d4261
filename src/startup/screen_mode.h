#pragma once
#include <optional>
#include <string_view>

namespace vistaloom {

// How a full-screen run uses several screens.
enum class ScreenMode {
    Each,    // every screen its own scene
    Mirror,  // one scene, shown on every screen, fitted to each
    Span,    // one scene over the bounding box of all screens, each showing its part
    Main,    // one scene on the primary screen; the others black
};

// The stored or typed word ("each", "mirror", "span", "main"); nothing for any other.
std::optional<ScreenMode> screen_mode_from_text(std::string_view text);
const char* screen_mode_text(ScreenMode mode);
// The stored setting as used: an unknown word (a hand-edited file) is today's behaviour.
ScreenMode screen_mode_or_each(std::string_view text);

}  // namespace vistaloom
