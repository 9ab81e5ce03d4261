#include "sprites/scene_runner.h"

#include <algorithm>

#include "render/draw_pass.h"
#include "render/frame_passes.h"
#include "render/rounding.h"
#include "sprites/scene_change.h"
#include "sprites/scene_step.h"
#include "sprites/sprite_setup.h"
#include "startup/clock.h"

namespace vistaloom {

namespace {

constexpr int32_t kSheetWidth = 640;
constexpr int32_t kSheetHeight = 2401;
constexpr uint32_t kNoThemePixel = 0x00112233;

// Bytes a clipped copy moves, clipped exactly as blit clips, without copying anything.
uint64_t copy_bytes(const Surface& target, int32_t dx, int32_t dy, const Surface& source,
                    int32_t sx, int32_t sy, int32_t w, int32_t h) {
    const Rect r = clip_copy(target, dx, dy, source, sx, sy, w, h).target;
    return static_cast<uint64_t>(r.w) * static_cast<uint64_t>(r.h) * sizeof(uint32_t);
}

int32_t live_slots(const Scene& scene) {
    return sprite_active_in_range(scene.settings);
}

uint64_t restore_bytes_due(const Scene& scene) {
    const SceneSurfaces& s = scene.surfaces;
    uint64_t bytes = 0;
    for (int32_t k = 1; k <= live_slots(scene); ++k) {
        const int32_t slot = slot_in_draw_order(scene.tables, k);
        if (slot == 0) continue;
        const sprite_rec& sp = scene.tables.sprites[slot];
        if (!sp.drawn) continue;
        const CellRow cell = cell_row_or_empty(scene.tables, sp.last_cell);
        const int32_t x = round_to_int(sp.last_x);
        const int32_t y = round_to_int(sp.last_y);
        bytes += copy_bytes(s.work, x, y, s.main, x, y, cell.width, cell.height);
    }
    return bytes;
}

uint64_t draw_bytes_done(const Scene& scene, int64_t& live) {
    const SceneSurfaces& s = scene.surfaces;
    uint64_t bytes = 0;
    for (int32_t k = 1; k <= live_slots(scene); ++k) {
        const int32_t slot = slot_in_draw_order(scene.tables, k);
        if (slot == 0) continue;
        const sprite_rec& sp = scene.tables.sprites[slot];
        if (sp.active == 0) continue;
        ++live;
        const int32_t x = round_to_int(sp.x);
        const int32_t y = round_to_int(sp.y);
        if (scene.run.no_themes == 1) {
            bytes += copy_bytes(s.work, x, y, s.no_mods, 0, 0, 320, 240);
        } else {
            const CellRow cell = cell_row_or_empty(scene.tables, sp.cell);
            bytes +=
                copy_bytes(s.work, x, y, s.sprite, cell.src_x, cell.src_y, cell.width, cell.height);
        }
    }
    return bytes;
}

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

FrameCopies& FrameCopies::operator+=(const FrameCopies& other) {
    restore_bytes += other.restore_bytes;
    draw_bytes += other.draw_bytes;
    present_bytes += other.present_bytes;
    background_bytes += other.background_bytes;
    live_sprites += other.live_sprites;
    background_changes += other.background_changes;
    return *this;
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

    FrameCopies copies;
    copies.restore_bytes = restore_bytes_due(scene_);
    restore_background(s.work, s.main, scene_);
    if (!is_nonzero(scene_.settings.objects_off)) scene_step(scene_);
    draw_sprites(s.work, s.sprite, scene_);
    copies.draw_bytes = draw_bytes_done(scene_, copies.live_sprites);
    present_frame(s.ascreen, s.work, scene_);
    check_scene_timer(scene_);

    for (const Rect& r : s.presented) {
        copies.present_bytes += copy_bytes(s.ascreen, r.x, r.y, s.work, r.x, r.y, r.w, r.h);
    }
    if (s.ascreen_repainted) {
        ++copies.background_changes;
        copies.background_bytes =
            2 * copy_bytes(s.main, 0, 0, s.ascreen, 0, 0, s.scene_width, s.scene_height);
    }
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
