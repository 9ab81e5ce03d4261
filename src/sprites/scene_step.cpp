#include "sprites/scene_step.h"

#include <algorithm>
#include <cmath>

#include "ground/random_source.h"
#include "pixels/scene_surfaces.h"
#include "pixels/sheet_layout.h"
#include "sprites/scene.h"
#include "sprites/scene_change.h"
#include "sprites/sprite_model.h"
#include "startup/run_settings.h"
#include "startup/run_state.h"

namespace vistaloom {

namespace {

constexpr int32_t kEdgeTop = 1;
constexpr int32_t kEdgeBottom = 2;
constexpr int32_t kEdgeRight = 4;
constexpr double kBoundMargin = 20.0;

// Int(value) for a start position; the argument is always a modest pixel count.
int32_t floor_int(double value) {
    return static_cast<int32_t>(std::floor(value));
}

bool picture_in_use(const SpriteTables& t, int32_t live_slots, int32_t picture) {
    for (int32_t slot = 1; slot <= live_slots; ++slot) {
        if (t.sprites[slot].picture == picture) return true;
    }
    return false;
}

}  // namespace

double launch_speed_factor(double speed_factor) {
    // Written so that NaN also falls back.
    return speed_factor > 0.0 ? speed_factor : 0.1;
}

int32_t choose_picture(Scene& scene) {
    const int32_t count = std::max(scene.run.picture_count, 1);
    const int32_t live_slots = scene.settings.sprite_active;
    int32_t r = random_position(scene.random, count);
    if (live_slots <= 1) return r;
    // The first candidate is the number after the draw. With at most 10 live slots and 20
    // pictures a free number always turns up; the step limit only guards a shorter table.
    for (int32_t step = 0; step < count; ++step) {
        ++r;
        if (r > count) r = 1;
        if (!picture_in_use(scene.tables, live_slots, r)) return r;
    }
    return r;
}

void launch_sprite(Scene& scene, int32_t slot) {
    RunState& run = scene.run;
    SpriteTables& t = scene.tables;
    RandomSource& random = scene.random;
    const int32_t W = scene.surfaces.scene_width;
    const int32_t H = scene.surfaces.scene_height;
    // Pictures and their margins at the screen's scale (1 on an ordinary screen).
    const int32_t k = scene.settings.picture_scale;
    const int32_t cell_w = kSheetCellWidth * k;
    const int32_t cell_h = kSheetCellHeight * k;
    const int32_t half_w = kHalfCellWidth * k;
    const int32_t half_h = kHalfCellHeight * k;

    const int32_t picture = choose_picture(scene);

    ++run.rotation_index;
    if (run.rotation_index > 10 || run.rotation_index < 1) run.rotation_index = 1;
    const int32_t edge = run.rotation_sequence[run.rotation_index];
    const bool enters_vertically = edge == kEdgeTop || edge == kEdgeBottom;

    // Minor speed first, then major: the order of the draws is part of the behaviour.
    const double factor = launch_speed_factor(run.speed_factor);
    const auto& minor_table = enters_vertically ? t.speed_x : t.speed_y;
    const auto& major_table = enters_vertically ? t.speed_y : t.speed_x;
    const double m = factor * minor_table[random_position(random, 4) + 1];
    const double M = factor * major_table[random_position(random, 12) + 4];

    const int32_t path = random_position(random, 5);
    const double R = random.next();

    double x = 0, y = 0, dx = 0, dy = 0, ax = 0, ay = 0;
    bool accelerating = false;
    if (enters_vertically) {
        // One line of the picture shows at once when it enters from the top.
        y = edge == kEdgeTop ? static_cast<double>(k - cell_h) : static_cast<double>(H);
        dy = edge == kEdgeTop ? M : -M;
        switch (path) {
            case 1:
                x = floor_int(R * (W - cell_w) + 1);
                break;
            case 2:
                x = floor_int(R * W / 2.0 + 1);
                dx = m;
                break;
            case 3:
                x = (W - half_w) - floor_int(R * W / 2.0 + 1);
                dx = -m;
                break;
            case 4:
                x = floor_int(R * half_w + 1);
                accelerating = true;
                ax = m / 64.0;
                break;
            default:
                x = (W - half_w) - floor_int(R * half_w + 1);
                accelerating = true;
                ax = -m / 64.0;
                break;
        }
    } else {
        x = edge == kEdgeRight ? static_cast<double>(W) : -static_cast<double>(cell_w);
        dx = edge == kEdgeRight ? -M : M;
        switch (path) {
            case 1:
                y = floor_int(R * (H - cell_h) + 1);
                break;
            case 2:
                y = floor_int(R * H / 2.0 + 1);
                dy = m;
                break;
            case 3:
                y = (H - half_h) - floor_int(R * H / 2.0 + 1);
                dy = -m;
                break;
            case 4:
                y = floor_int(R * half_h + 1);
                accelerating = true;
                ay = m / 64.0;
                break;
            default:
                y = (H - half_h) - floor_int(R * half_h + 1);
                accelerating = true;
                ay = -m / 64.0;
                break;
        }
    }

    const double left = -kBoundMargin * k;
    const double top = -kBoundMargin * k;
    const double right = W + kBoundMargin * k;
    const double bottom = H + kBoundMargin * k;
    place_sprite(t, slot, x, y, picture, picture);
    if (accelerating) {
        set_accelerating_motion(t, slot, dx, dy, ax, ay, left, top, right, bottom);
    } else {
        set_straight_motion(t, slot, dx, dy, left, top, right, bottom);
    }
}

void scene_step(Scene& scene) {
    scene.random.reseed_from_clock();
    if (scene.run.background_change_due != 0) {
        leaving_step(scene);
        return;
    }
    const int32_t live_slots = scene.settings.sprite_active;
    for (int32_t slot = 1; slot <= live_slots; ++slot) {
        if (scene.tables.sprites[slot].active == 0) launch_sprite(scene, slot);
    }
}

}  // namespace vistaloom
