#include "startup/screen_mode.h"

#include <array>

namespace vistaloom {

namespace {

struct ModeName {
    ScreenMode mode;
    const char* text;
};
constexpr std::array<ModeName, 4> kModeNames{{{ScreenMode::Each, "each"},
                                              {ScreenMode::Mirror, "mirror"},
                                              {ScreenMode::Span, "span"},
                                              {ScreenMode::Main, "main"}}};

}  // namespace

std::optional<ScreenMode> screen_mode_from_text(std::string_view text) {
    for (const ModeName& name : kModeNames)
        if (text == name.text) return name.mode;
    return std::nullopt;
}

const char* screen_mode_text(ScreenMode mode) {
    for (const ModeName& name : kModeNames)
        if (name.mode == mode) return name.text;
    return "each";
}

ScreenMode screen_mode_or_each(std::string_view text) {
    return screen_mode_from_text(text).value_or(ScreenMode::Each);
}

}  // namespace vistaloom
