#include "saver/saver_session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>

#include "session_fixture.h"
#include "theme_files/theme_files.h"

namespace vistaloom {
namespace {

using testing::SessionFixture;
using testing::write_theme;

std::vector<int64_t> differences(const std::vector<int64_t>& ticks) {
    std::vector<int64_t> d;
    for (size_t i = 1; i < ticks.size(); ++i) d.push_back(ticks[i] - ticks[i - 1]);
    return d;
}

// --- Frame loop and timing ---

class FramePeriods : public SessionFixture, public ::testing::WithParamInterface<int> {};

TEST_P(FramePeriods, FramesStartAtTheFirstMillisecondTheRateAllows) {
    const int rate = GetParam();
    const int64_t expected = rate == 10 ? 91 : rate == 20 ? 48 : 17;
    settings.frame_rate = std::to_string(rate);
    options.max_frames = 12;
    run();
    // One wait per frame (nothing spins), each for its frame's first allowed millisecond.
    ASSERT_EQ(events.waits.size(), 11u);  // the twelfth frame ends at once, as a key would
    for (int64_t d : differences(events.waits)) EXPECT_EQ(d, expected);
    for (int64_t d : differences(host.repaint_ticks)) EXPECT_EQ(d, expected);
    EXPECT_EQ(session->run().current_fps, 1000 / 1);  // the last frame was cut short
    EXPECT_EQ(session->frames_drawn(), 12);
    EXPECT_EQ(host.unloads, 1);
}

INSTANTIATE_TEST_SUITE_P(Rates, FramePeriods, ::testing::Values(10, 20, 60));

TEST_F(SessionFixture, AHandEditedFrameRateStillPacesFrames) {
    settings.frame_rate = "-3";
    options.max_frames = 4;
    run();
    for (int64_t d : differences(host.repaint_ticks)) EXPECT_EQ(d, 91);  // held at 10
}

TEST_F(SessionFixture, DrawingTimeCountsTowardsTheFrame) {
    // 30 ms of drawing: the next frame still starts 48 ms after this one did.
    host.on_repaint = [this] { clock.advance(30); };
    options.max_frames = 6;
    run();
    for (int64_t d : differences(host.repaint_ticks)) EXPECT_EQ(d, 48);
}

TEST_F(SessionFixture, AFrameThatTookTooLongIsNotStretchedFurther) {
    host.on_repaint = [this] { clock.advance(60); };
    options.max_frames = 6;
    run();
    for (int64_t d : differences(host.repaint_ticks)) EXPECT_EQ(d, 60);
    EXPECT_EQ(session->run().current_fps, 16);
}

// --- Music ---

TEST_F(SessionFixture, MusicStepsEveryTwoSecondsInOrderFromTheFirstTrack) {
    write_theme(install, "Tunes", 3);
    settings.active_module = "Tunes";
    settings.random_music = "0";
    std::vector<int32_t> tracks;
    std::vector<int64_t> play_ticks;
    media.on_command = [&](const std::string& c) {
        if (c != "Play") return;
        tracks.push_back(session->run().music_track);
        play_ticks.push_back(clock.now_ms);
    };
    // Each track ends about 700 ms after it started.
    for (int64_t t = 100'000; t < 120'000; t += 100) {
        events.at(t, [&] {
            if (!play_ticks.empty() && clock.now_ms - play_ticks.back() >= 700)
                media.finish_track();
        });
    }
    key_at(112'000);
    run();
    ASSERT_GE(tracks.size(), 4u);
    EXPECT_EQ(std::vector<int32_t>(tracks.begin(), tracks.begin() + 4),
              (std::vector<int32_t>{1, 2, 3, 1}));
    for (int64_t d : differences(play_ticks)) EXPECT_GT(d, 2000);
    EXPECT_GT(play_ticks.front() - 100'000, 2000);
    EXPECT_LT(play_ticks.front() - 100'000, 2200);
    for (const auto& file : media.played) EXPECT_NE(file.find(temp_item_name("mid")), std::string::npos);
    EXPECT_EQ(media.device_type, "Sequencer");
    EXPECT_EQ(media.commands.back(), "Close");  // unload stopped and closed the device
}

TEST_F(SessionFixture, MutedAudioNeverPlaysButUnloadStillStopsAndCloses) {
    write_theme(install, "Tunes", 3);
    settings.active_module = "Tunes";
    settings.mute_audio = "1";
    key_at(110'000);
    run();
    EXPECT_EQ(media.commands, (std::vector<std::string>{"Stop", "Close"}));
}

// --- Background timer ---

TEST_F(SessionFixture, ThirtyFiveSecondsRaiseTheChangeWithGradients) {
    settings.gradients_on = "1";
    settings.objects_off = "1";  // the scene step never runs, so the flag stays up
    int32_t before = -1, after = -1;
    events.at(134'900, [&] { before = session->run().background_change_due; });
    events.at(135'100, [&] { after = session->run().background_change_due; });
    key_at(136'000);
    run();
    EXPECT_EQ(before, 0);
    EXPECT_EQ(after, 1);
}

TEST_F(SessionFixture, WithGradientsTheSceneChangesAndItsTimerRestarts) {
    settings.gradients_on = "1";
    key_at(200'000);
    run();
    EXPECT_GE(host.repaint_all_calls, 2);  // the start background and at least one change
    EXPECT_GT(session->run().scene_start_tick, 135'000);
}

TEST_F(SessionFixture, WithoutGradientsOnlyTheTimerRestarts) {
    settings.gradients_on = "0";
    settings.objects_off = "1";
    std::vector<int64_t> starts;
    for (int64_t t = 130'000; t < 180'000; t += 1000) {
        events.at(t, [&] {
            EXPECT_EQ(session->run().background_change_due, 0);
            starts.push_back(session->run().scene_start_tick);
        });
    }
    key_at(180'000);
    run();
    EXPECT_EQ(host.repaint_all_calls, 1);
    EXPECT_EQ(starts.front(), 100'000);
    // Restarted once 35 s had passed, then again 35 s after that.
    EXPECT_GT(starts.back(), 170'000);
    EXPECT_LT(starts.back(), 171'000);
    EXPECT_EQ(std::count_if(starts.begin(), starts.end(),
                            [](int64_t t) { return t > 135'000 && t < 136'000; }),
              35);
}

// --- Lifecycle, cursor and password ---

TEST_F(SessionFixture, PasswordRefusedKeepsTheSaverRunningWithTheCursorHidden) {
    desktop.platform = 1;
    registry.put_dword(HKEY_CURRENT_USER, "Control Panel\\Desktop", "ScreenSaveUsePassword", 1);
    desktop.password_answers = {0, 1};
    int64_t frames_at_refusal = 0;
    int cursor_after_refusal = 0;
    key_at(101'000);
    events.at(102'000, [&] {
        frames_at_refusal = session->frames_drawn();
        cursor_after_refusal = desktop.cursor_count;
        session->key_press();
    });
    run();
    EXPECT_EQ(desktop.verified_windows, (std::vector<int64_t>{4242, 4242}));
    EXPECT_EQ(desktop.cursor_count_at_verify, (std::vector<int>{6, 6}));
    EXPECT_EQ(cursor_after_refusal, -6);
    EXPECT_GT(frames_at_refusal, 25);  // frames went on after the refusal
    EXPECT_EQ(desktop.screen_saver_running, (std::vector<bool>{true, false}));
    // Shown to 6 for the dialog; the unload's loop then shows it once more.
    EXPECT_EQ(desktop.cursor_count, 7);
    EXPECT_EQ(host.unloads, 1);
}

TEST_F(SessionFixture, PasswordAcceptedUnloadsAtOnce) {
    desktop.platform = 1;
    registry.put_string(HKEY_CURRENT_USER, "Control Panel\\Desktop", "ScreenSaveUsePassword", "1");
    key_at(101'000);
    run();
    EXPECT_EQ(desktop.verified_windows.size(), 1u);
    EXPECT_EQ(host.unloads, 1);
    EXPECT_LT(clock.now_ms, 101'100);
}

TEST_F(SessionFixture, TheNtFamilyNeverAsksForThePassword) {
    desktop.platform = 2;
    registry.put_dword(HKEY_CURRENT_USER, "Control Panel\\Desktop", "ScreenSaveUsePassword", 1);
    key_at(101'000);
    run();
    EXPECT_TRUE(desktop.verified_windows.empty());
    EXPECT_TRUE(desktop.screen_saver_running.empty());
    EXPECT_EQ(desktop.cursor_counts.front(), -1);
    EXPECT_EQ(*std::min_element(desktop.cursor_counts.begin(), desktop.cursor_counts.end()), -6);
    EXPECT_EQ(desktop.cursor_count, 6);  // hidden to -6, shown back to 6
    EXPECT_EQ(host.topmost_calls, 1);
    EXPECT_EQ(host.maximise_calls, 1);
}

TEST_F(SessionFixture, APreviewLeavesCursorPasswordAndStackingAlone) {
    startup.config_preview = true;
    desktop.platform = 1;
    registry.put_dword(HKEY_CURRENT_USER, "Control Panel\\Desktop", "ScreenSaveUsePassword", 1);
    key_at(101'000);
    run();
    EXPECT_EQ(desktop.cursor_calls, 0);
    EXPECT_TRUE(registry.queries.empty());
    EXPECT_EQ(desktop.platform_queries, 0);
    EXPECT_TRUE(desktop.screen_saver_running.empty());
    EXPECT_TRUE(desktop.verified_windows.empty());
    EXPECT_EQ(host.topmost_calls, 0);
    EXPECT_EQ(host.unloads, 1);
}

TEST_F(SessionFixture, BoxesArePlacedAndTheTimeShown) {
    settings.show_time = "1";
    clock.day = {0, 5, 9, 309.0};
    options.max_frames = 3;
    run();
    EXPECT_EQ(host.time_box_moves, (std::vector<std::pair<int32_t, int32_t>>{{120, 0}}));
    EXPECT_TRUE(host.time_box_visible);
    EXPECT_EQ(host.info_box_moves, (std::vector<std::vector<int32_t>>{{0, 226, 320, 14}}));
    EXPECT_EQ(host.time_texts, (std::vector<std::string>{"12:05:09 AM"}));
}

TEST_F(SessionFixture, TheTimeDesignatorIsTheLocales) {
    settings.show_time = "1";
    desktop.am = "vorm.";
    desktop.pm = "nachm.";
    clock.day = {14, 5, 9, 50709.0};
    options.max_frames = 2;
    run();
    EXPECT_EQ(host.time_texts, (std::vector<std::string>{"02:05:09 nachm."}));
}

TEST_F(SessionFixture, TimeTextIsTwelveHourWithItsDesignator) {
    EXPECT_EQ(SaverSession::time_text(0, 0, 0, "AM", "PM"), "12:00:00 AM");
    EXPECT_EQ(SaverSession::time_text(9, 7, 3, "AM", "PM"), "09:07:03 AM");
    EXPECT_EQ(SaverSession::time_text(12, 30, 0, "AM", "PM"), "12:30:00 PM");
    EXPECT_EQ(SaverSession::time_text(23, 59, 59, "AM", "PM"), "11:59:59 PM");
    settings.show_time = "0";
    options.max_frames = 3;
    run();
    EXPECT_TRUE(host.time_texts.empty());
    EXPECT_FALSE(host.time_box_visible);
}

TEST_F(SessionFixture, TheFrameRateLineNamesRateAndSprites) {
    options.show_fps = true;
    options.max_frames = 5;
    run();
    ASSERT_EQ(host.info_texts.size(), 5u);
    EXPECT_EQ(host.info_texts[0].substr(0, 2), "20");
    const std::regex shape(R"(\d+ Frames Per Second \| Sprites on screen = \d+)");
    for (const auto& t : host.info_texts) EXPECT_TRUE(std::regex_match(t, shape)) << t;
    session->ibox("extra");
    EXPECT_TRUE(host.info_texts.back().ends_with(" | extra"));
}

// --- Input and exit ---

TEST_F(SessionFixture, MouseSensitivitySevenEndsOnTheEighthMovement) {
    settings.mouse_sensitivity = "7";
    int ended_after = 0;
    for (int i = 1; i <= 9; ++i) {
        events.at(101'000 + i * 100, [this, i, &ended_after] {
            clock.day.seconds_since_midnight = 3600 + i * 0.1;
            session->mouse_move();
            if (!session->run().keep_running && ended_after == 0) ended_after = i;
        });
    }
    key_at(110'000);
    run();
    EXPECT_EQ(ended_after, 8);
}

TEST_F(SessionFixture, MouseSensitivityTwoEndsOnTheThirdAndSpreadMovesNever) {
    settings.mouse_sensitivity = "2";
    for (int i = 1; i <= 6; ++i) {
        events.at(101'000 + i * 1000, [this, i] {
            clock.day.seconds_since_midnight = 3600 + i * 11.0;
            session->mouse_move();
        });
    }
    options.max_frames = 200;  // 9.6 s: all six movements arrive
    run();
    EXPECT_EQ(session->frames_drawn(), 200);

    settings.mouse_sensitivity = "2";
    int ended_after = 0;
    for (int i = 1; i <= 3; ++i) {
        events.at(clock.now_ms + 1000 + i * 100, [this, i, &ended_after] {
            session->mouse_move();
            if (!session->run().keep_running && ended_after == 0) ended_after = i;
        });
    }
    options.max_frames = 0;
    run();
    EXPECT_EQ(ended_after, 3);
}

TEST_F(SessionFixture, InputBeforeTheLoopIsIgnoredAndAClickEndsAtOnce) {
    write_theme(install, "Any", 0);
    SaverSession& s = make();
    s.Form_Load();
    // Before the loop runs, input has no effect.
    s.key_press();
    s.mouse_down();
    s.mouse_move();
    s.Form_Activate();
    events.at(100'500, [this] { session->mouse_down(); });
    events.run_until([&s] { return s.unloaded(); });
    EXPECT_GT(session->frames_drawn(), 5);
    EXPECT_LT(clock.now_ms, 100'560);
}

TEST_F(SessionFixture, ACloseRequestDuringTheLoopIsDeferredToItsEnd) {
    bool cancelled = false;
    int unloads_at_request = -1;
    events.at(100'500, [&] {
        cancelled = session->Form_QueryUnload();
        unloads_at_request = host.unloads;
    });
    run();
    EXPECT_TRUE(cancelled);
    EXPECT_EQ(unloads_at_request, 0);
    EXPECT_EQ(host.unloads, 1);
    EXPECT_FALSE(session->run().loop_active);
    EXPECT_FALSE(session->Form_QueryUnload());  // gone: nothing left to defer
}

TEST_F(SessionFixture, AStopRequestBeforeTheFirstFrameEndsTheRunWithoutOne) {
    write_theme(install, "Any", 0);
    bool cancelled = false;
    events.soon([&] { cancelled = session->request_stop(); });
    run();
    EXPECT_TRUE(cancelled);
    EXPECT_EQ(session->frames_drawn(), 0);
    EXPECT_EQ(host.unloads, 1);
    EXPECT_EQ(desktop.cursor_count, 6);
}

TEST_F(SessionFixture, ClosedBeforeActivationNothingRuns) {
    SaverSession& s = make();
    s.Form_Load();
    EXPECT_FALSE(s.Form_QueryUnload());
    s.Form_Activate();
    EXPECT_EQ(s.frames_drawn(), 0);
    EXPECT_EQ(desktop.cursor_calls, 0);
    EXPECT_EQ(host.unloads, 0);
}

TEST_F(SessionFixture, EmbeddedRunsIgnoreInputAndEndOnAStopRequest) {
    options.embedded = true;
    desktop.platform = 1;
    registry.put_dword(HKEY_CURRENT_USER, "Control Panel\\Desktop", "ScreenSaveUsePassword", 1);
    events.at(100'500, [this] {
        session->key_press();
        session->mouse_down();
        for (int i = 0; i < 60; ++i) session->mouse_move();
    });
    events.at(101'000, [this] { session->request_stop(); });
    run();
    EXPECT_GT(session->frames_drawn(), 15);
    EXPECT_EQ(desktop.cursor_calls, 0);
    EXPECT_EQ(host.topmost_calls, 0);
    EXPECT_TRUE(desktop.verified_windows.empty());
    EXPECT_EQ(host.unloads, 1);
}

TEST_F(SessionFixture, ActivationRunsOnlyOnce) {
    options.max_frames = 2;
    SaverSession& s = run();
    s.Form_Activate();
    EXPECT_EQ(s.frames_drawn(), 2);
    EXPECT_EQ(host.unloads, 1);
}

// --- Theme choice ---

TEST_F(SessionFixture, TheActiveThemeIsFoundIgnoringCase) {
    write_theme(install, "Sports", 2);
    settings.active_module = "sports";
    settings.random_theme = "0";
    std::string during;
    events.at(100'100, [&] { during = settings.active_module; });
    key_at(100'200);
    run();
    EXPECT_EQ(settings.random_theme, "0");
    // The run reads the files by the name they carry; the stored choice stays as it was.
    EXPECT_EQ(during, "Sports");
    EXPECT_EQ(settings.active_module, "sports");
    EXPECT_EQ(session->items().item_count, 4);
    EXPECT_EQ(session->run().music_count, 2);
    EXPECT_EQ(session->run().no_themes, 0);
}

TEST_F(SessionFixture, ARandomThemeIsUsedForTheRunOnly) {
    write_theme(install, "Alpha", 0);
    write_theme(install, "Beta", 0);
    std::vector<std::string> order;
    for (const auto& e : std::filesystem::directory_iterator(install.path())) {
        const std::string n = e.path().filename().string();
        if (n.ends_with(".icf")) order.push_back(n.substr(0, n.size() - 4));
    }
    settings.active_module = order[0];
    settings.random_theme = "1";
    random.queued = {0.0, 0.75};  // first track, then the theme: Int(0.75 x 2 + 1) = 2
    std::string during;
    events.at(100'200, [&] { during = settings.active_module; });
    key_at(100'300);
    run();
    EXPECT_EQ(during, order[1]);
    EXPECT_EQ(session->saved_module(), order[0]);
    EXPECT_EQ(settings.active_module, order[0]);
}

TEST_F(SessionFixture, AMissingThemeSwitchesToRandomInMemory) {
    write_theme(install, "Only", 0);
    settings.active_module = "Gone";
    options.max_frames = 2;
    run();
    EXPECT_EQ(settings.random_theme, "1");
    EXPECT_EQ(settings.active_module, "Gone");
}

// A long list hides no theme from the random choice either.
TEST_F(SessionFixture, EveryThemeTakesPartInTheChoice) {
    for (int i = 0; i < 250; ++i) install.write("t" + std::to_string(i) + ".icf", "x");
    std::vector<std::string> order;
    for (const auto& e : std::filesystem::directory_iterator(install.path())) {
        const std::string n = e.path().filename().string();
        order.push_back(n.substr(0, n.size() - 4));
    }
    settings.active_module = "none of them";
    random.queued = {0.0, 0.9999};
    std::string during;
    events.at(100'100, [&] { during = settings.active_module; });
    key_at(100'200);
    run();
    EXPECT_EQ(during, order[249]);
}

TEST_F(SessionFixture, NoThemesRunsWithTheBuiltInPicture) {
    options.max_frames = 3;
    run();
    EXPECT_EQ(session->run().no_themes, 1);
    EXPECT_EQ(session->frames_drawn(), 3);
}

TEST_F(SessionFixture, TheSessionNeverChangesStoredSettings) {
    write_theme(install, "Kept", 1);
    settings.active_module = "Kept";
    const SaverSettings before = settings;
    options.max_frames = 10;
    run();
    auto fields = [](const SaverSettings& s) {
        return std::vector<std::string>{s.active_module,
                                        s.random_theme,
                                        s.gradients_on,
                                        s.borders_on,
                                        std::to_string(s.sprite_active),
                                        s.frame_rate,
                                        std::to_string(s.speed_scale),
                                        s.mute_audio,
                                        s.random_music,
                                        s.save_wallpaper,
                                        s.mouse_sensitivity,
                                        s.objects_off,
                                        s.show_time};
    };
    EXPECT_EQ(fields(settings), fields(before));
    EXPECT_TRUE(registry.writes.empty());
}

// --- Unload: temporary files, wallpaper ---

TEST_F(SessionFixture, UnloadRemovesTheTemporaryItems) {
    write_theme(install, "Tunes", 1);
    settings.active_module = "Tunes";
    settings.mute_audio = "0";
    key_at(103'000);  // after the first music step extracted a track
    run();
    ASSERT_GE(media.played.size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(media.played.front()));
}

uint32_t bmp_pixel(const std::vector<uint8_t>& b, int32_t w, int32_t h, int32_t x, int32_t y) {
    const size_t row = (static_cast<size_t>(w) * 3 + 3) & ~size_t{3};
    const size_t at = 54 + row * static_cast<size_t>(h - 1 - y) + static_cast<size_t>(x) * 3;
    return (uint32_t{b[at + 2]} << 16) | (uint32_t{b[at + 1]} << 8) | b[at];
}

// The wallpaper shows the last presented frame when objects are off, and a frame with one
// more sprite pass otherwise. The run reads its settings once, at its start.
class WallpaperAtUnload : public SessionFixture, public ::testing::WithParamInterface<bool> {};

TEST_P(WallpaperAtUnload, SavesAscreenAsStretchedWallpaper) {
    const bool objects_off_at_end = GetParam();
    settings.save_wallpaper = "1";
    if (objects_off_at_end) settings.objects_off = "1";
    host.width = 800;
    host.height = 600;
    options.executable_name = "vistaloom";
    Surface last;  // as the loop last presented it
    host.on_repaint = [&] {
        if (session->run().loop_active) last = session->surfaces().ascreen;
    };
    events.at(101'000, [&] { session->key_press(); });
    run();
    const auto file = data.path() / "vistaloom" / "vistaloom_wallpaper.bmp";
    ASSERT_TRUE(std::filesystem::exists(file));
    EXPECT_EQ(desktop.wallpapers, (std::vector<std::string>{file.string()}));
    std::ifstream in(file, std::ios::binary);
    const std::vector<uint8_t> b{std::istreambuf_iterator<char>(in),
                                 std::istreambuf_iterator<char>()};
    const Surface& shown = session->surfaces().ascreen;
    int differing_from_shown = 0, differing_from_last_loop_frame = 0;
    for (int32_t y = 0; y < shown.height; ++y) {
        for (int32_t x = 0; x < shown.width; ++x) {
            const uint32_t p = bmp_pixel(b, shown.width, shown.height, x, y);
            differing_from_shown += p != (shown.at(x, y) & 0xFFFFFFu);
            differing_from_last_loop_frame += p != (last.at(x, y) & 0xFFFFFFu);
        }
    }
    EXPECT_EQ(differing_from_shown, 0);
    if (objects_off_at_end) {
        EXPECT_EQ(differing_from_last_loop_frame, 0);
    } else {
        EXPECT_GT(differing_from_last_loop_frame, 0);  // one more sprite pass moved them on
    }
    ASSERT_GE(registry.writes.size(), 2u);
    EXPECT_EQ(registry.writes[0].second, "0");
    EXPECT_EQ(registry.writes[1].second, "2");
}

INSTANTIATE_TEST_SUITE_P(ObjectsOff, WallpaperAtUnload, ::testing::Bool());

}  // namespace
}  // namespace vistaloom

namespace vistaloom {
namespace {

using namespace testing;

// Two sessions on one thread, as one per monitor or a preview over a dialog: each gets its
// own frames at its own rate from the one event loop; neither starves the other.
TEST_F(SessionFixture, TwoSessionsInOneThreadEachKeepTheirFrameRate) {
    settings.mute_audio = "1";
    SaverSettings other_settings = settings;
    other_settings.frame_rate = "10";
    QueuedRandom other_random;
    RecordingDesktop other_desktop;
    RecordingMedia other_media;
    MemoryRegistry other_registry;
    TempUserFolders other_folders{data.path() / "other"};
    RecordingHost other_host{clock, events};
    SaverSession other(other_settings, startup,
                       SaverSeams{clock, random, other_desktop, other_media, other_registry,
                                  other_folders},
                       other_host);
    other_host.session = &other;

    SaverSession& first = make();
    first.Form_Load();
    other.Form_Load();
    first.Form_Activate();
    other.Form_Activate();
    const int64_t start = clock.now_ms;
    events.at(start + 1000, [&] {
        first.key_press();
        other.key_press();
    });
    events.run_until([&] { return first.unloaded() && other.unloaded(); });

    // 1000 ms at 48 ms and at 91 ms per frame.
    EXPECT_NEAR(static_cast<double>(first.frames_drawn()), 1000.0 / 48, 1000.0 / 48 * 0.1);
    EXPECT_NEAR(static_cast<double>(other.frames_drawn()), 1000.0 / 91, 1000.0 / 91 * 0.1);
    EXPECT_EQ(host.unloads, 1);
    EXPECT_EQ(other_host.unloads, 1);
}

}  // namespace
}  // namespace vistaloom
