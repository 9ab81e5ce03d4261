#pragma once
#include <array>
#include <cstdint>

namespace vistaloom {

class RandomSource;
struct RunSettings;
struct SaverSettings;

// Flags, counters and scene tables shared by the saver window, the sprite engine and the
// renderer of one saver session. Tables are used from position 1, as the rules number them;
// position 0 is unused.
struct RunState {
    bool loop_active = false;
    bool keep_running = false;
    int16_t mouse_move_count = 0;
    int32_t current_fps = 0;
    int64_t scene_start_tick = 0;
    int32_t background_change_due = 0;
    int32_t no_themes = 0;
    int32_t music_playing = 0;
    int32_t music_track = 0;
    double music_count = 0;  // filled from the theme information file
    int16_t use_password = 0;
    int32_t custom_music_count = 0;

    std::array<int32_t, 12> gradient_colors{};  // 1..11 palette numbers
    std::array<int32_t, 9> gradient_angles{};   // 1..8 degrees
    std::array<int32_t, 11> rotation_sequence{};  // 1..10 entry edges
    int32_t rotation_index = 1;
    int32_t picture_count = 20;
    double speed_factor = 1.0;
};

// Fills the scene tables at every saver start.
void init_run_state(RunState& run, const RunSettings& settings, RandomSource& random);
// Chooses the track before the first one to play.
void pick_first_track(RunState& run, const SaverSettings& settings, RandomSource& random);

}  // namespace vistaloom
