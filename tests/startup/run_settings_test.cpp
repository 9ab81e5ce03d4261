#include "startup/run_settings.h"

#include <gtest/gtest.h>

#include <cmath>

#include "startup/saver_settings.h"
#include "startup/settings_overrides.h"
#include "startup/settings_store.h"
#include "support/memory_settings.h"

namespace vistaloom {
namespace {

struct RangedSetting {
    const SettingRange& range;
    std::string_view option;  // the command line's override, or empty
    int32_t RunSettings::*field;
};

const RangedSetting kRanged[] = {
    {kSpriteActiveRange, "--pictures", &RunSettings::sprite_active},
    {kFrameRateRange, "--frame-rate", &RunSettings::frame_rate},
    {kSpeedScaleRange, "--speed", &RunSettings::speed_scale},
    {kMouseSensitivityRange, "", &RunSettings::mouse_sensitivity},
};

RunSettings resolved_from_store(const std::string& key, const std::string& stored) {
    testing::MemorySettings store;
    if (!stored.empty()) store.set(kOptionsSection, key, stored);
    SaverSettings settings;
    load_settings(settings, store);
    return resolve_run_settings(settings);
}

// One table of ranges: the overrides refuse what is outside it, a fresh or hand-edited file
// is brought into it for the run, and its defaults are a fresh record's.
TEST(RunSettings, OverridesStoreAndRunAgreeOnEveryRange) {
    ASSERT_EQ(std::size(kRanged), kSettingRanges.size());
    for (const RangedSetting& s : kRanged) {
        const std::string key(s.range.key);
        SCOPED_TRACE(key);
        if (!s.option.empty()) {
            for (int32_t value : {s.range.low, s.range.high}) {
                SettingsOverrides o;
                EXPECT_EQ(apply_override_option(o, s.option, std::to_string(value)), "");
                SaverSettings settings;
                apply_overrides(settings, o);
                EXPECT_EQ(resolve_run_settings(settings).*s.field, value);
            }
            for (int32_t value : {s.range.low - 1, s.range.high + 1}) {
                SettingsOverrides o;
                EXPECT_NE(apply_override_option(o, s.option, std::to_string(value)), "");
                EXPECT_FALSE(o.any());
            }
        }
        EXPECT_EQ(resolved_from_store(key, "").*s.field, s.range.fallback);
        EXPECT_EQ(resolved_from_store(key, std::to_string(s.range.high + 7)).*s.field,
                  s.range.high);
        EXPECT_EQ(resolved_from_store(key, std::to_string(s.range.low - 7)).*s.field, s.range.low);
    }
}

TEST(RunSettings, AFreshRecordResolvesToTheDefaults) {
    EXPECT_EQ(resolve_run_settings(SaverSettings{}), RunSettings{});
}

// Switches keep the two rules they are written with: "is 1" shows the clock line, "not 0"
// keeps it up to date, mutes and turns objects off.
TEST(RunSettings, SwitchesFollowTheirOwnRule) {
    struct Case {
        std::string text;
        bool one, nonzero;
    };
    for (const Case& c : {Case{"1", true, true}, Case{"0", false, false}, Case{"2", false, true},
                          Case{"1.0", true, true}, Case{"x", false, false}}) {
        SCOPED_TRACE(c.text);
        SaverSettings s;
        s.show_time = s.mute_audio = s.objects_off = s.gradients_on = c.text;
        const RunSettings r = resolve_run_settings(s);
        EXPECT_EQ(r.show_time, c.one);
        EXPECT_EQ(r.gradients_on, c.one);
        EXPECT_EQ(r.update_time, c.nonzero);
        EXPECT_EQ(r.mute_audio, c.nonzero);
        EXPECT_EQ(r.objects_off, c.nonzero);
    }
}

}  // namespace
}  // namespace vistaloom

namespace vistaloom {
namespace {

// The settings that follow the screen and the desktop: a written choice wins, "auto" (or a
// word edited by hand) follows what the screen or the desktop says.
TEST(RunSettings, PictureScaleAndReducedMotionFollowScreenAndDesktopUnlessChosen) {
    struct Case {
        const char* scale;
        double ratio;
        int32_t want_scale;
        const char* motion;
        bool desktop;
        bool want_reduced;
    };
    const Case cases[] = {
        {"auto", 1.0, 1, "auto", false, false}, {"auto", 1.25, 1, "auto", true, true},
        {"auto", 1.5, 2, "on", false, true},    {"auto", 2.0, 2, "off", true, false},
        {"auto", 3.0, 2, "On", true, true},     {"1", 2.0, 1, "", false, false},
        {"2", 1.0, 2, "auto", false, false},    {"huge", 2.0, 2, "off", false, false},
        {"auto", std::nan(""), 1, "auto", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.scale << " at " << c.ratio << ", " << c.motion
                                          << (c.desktop ? " (desktop asks)" : ""));
        SaverSettings s;
        s.picture_scale = c.scale;
        s.reduced_motion = c.motion;
        s.speed_scale = 15;
        const RunSettings run = resolve_run_settings(s, DisplayFacts{c.ratio, c.desktop});
        EXPECT_EQ(run.picture_scale, c.want_scale);
        EXPECT_EQ(run.reduced_motion, c.want_reduced);
        EXPECT_EQ(run.speed_scale, c.want_reduced ? kSpeedScaleRange.low : 15);
    }
}

}  // namespace
}  // namespace vistaloom
