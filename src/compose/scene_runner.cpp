#include "compose/scene_runner.h"

#include <algorithm>

#include "sprites/scene_change.h"
#include "sprites/sprite_setup.h"
#include "ground/clock.h"

namespace vistaloom {

namespace {

constexpr int32_t kSheetWidth = 640;
constexpr int32_t kSheetHeight = 2401;
constexpr uint32_t kNoThemePixel = 0x00112233;

}  // namespace

HeadlessScene::HeadlessScene(int32_t scene_width, int32_t scene_height, Clock& clock,
                             RandomSource& random, const SaverSettings& saver_settings)
    : settings(saver_settings), scene{settings, run, tables, surfaces, random, clock, gradient} {
    surfaces.scene_width = scene_width;
    surfaces.scene_height = scene_height;
    surfaces.ascreen.resize(scene_width, scene_height, kStartBackground);
    surfaces.main.resize(scene_width, scene_height, kStartBackground);
    surfaces.work.resize(scene_width, scene_height, kStartBackground);
    surfaces.ascreen_repainted = true;

    surfaces.sprite.resize(kSheetWidth, kSheetHeight);
    for (int32_t y = 0; y < kSheetHeight; ++y) {
        for (int32_t x = 0; x < kSheetWidth; ++x) surfaces.sprite.at(x, y) = sheet_pixel(x, y);
    }
    surfaces.border.resize(80, 80);
    for (int32_t y = 0; y < 80; ++y) {
        for (int32_t x = 0; x < 80; ++x) {
            surfaces.border.at(x, y) =
                0x00A00000u | (static_cast<uint32_t>(x) << 8) | static_cast<uint32_t>(y);
        }
    }
    surfaces.no_mods.resize(320, 240, kNoThemePixel);

    init_run_state(run, settings, random);
    setup_sprites(scene);
}

uint32_t HeadlessScene::sheet_pixel(int32_t x, int32_t y) {
    if (y < 1) return 0x00FF00FF;  // the row above the first cells belongs to no picture
    const int32_t cell = 2 * ((y - 1) / 240) + x / 320 + 1;
    return (static_cast<uint32_t>(cell) << 16) | (static_cast<uint32_t>(x & 0xFF) << 8) |
           static_cast<uint32_t>(y & 0xFF);
}

SceneRunner::SceneRunner(Scene& scene) : scene_(scene) {
    start();
}

void SceneRunner::start() {
    scene_.run.scene_start_tick = scene_.clock.tick_ms();
}

FrameCopies SceneRunner::run_frame() {
    SceneSurfaces& s = scene_.surfaces;
    // Whatever the window had not yet taken before this frame is not this frame's work.
    s.presented.clear();
    s.ascreen_repainted = false;

    const FrameCopies copies = compose_frame(scene_);
    check_scene_timer(scene_);
    // As the window would: it takes the rectangles (or the whole picture) and clears them.
    s.presented.clear();
    s.ascreen_repainted = false;

    totals_ += copies;
    ++frames_;
    return copies;
}

FrameCopies SceneRunner::run_frames(int64_t frames) {
    FrameCopies sum;
    for (int64_t i = 0; i < frames; ++i) sum += run_frame();
    return sum;
}

}  // namespace vistaloom
