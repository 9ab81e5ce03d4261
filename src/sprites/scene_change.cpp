#include "sprites/scene_change.h"

#include <algorithm>

#include "ground/clock.h"
#include "pixels/random_gradient.h"
#include "pixels/scene_surfaces.h"
#include "pixels/surface.h"
#include "sprites/scene.h"
#include "sprites/scene_step.h"
#include "sprites/sprite_model.h"
#include "startup/run_settings.h"
#include "startup/run_state.h"

namespace vistaloom {

namespace {

// Pushes a velocity component away from zero; zero stays zero.
double speed_up(double component, double increment) {
    if (component > 0) return component + increment;
    if (component < 0) return component - increment;
    return component;
}

// `target` takes the size of `ascreen` and its top-left scene-sized part.
void take_background(SceneSurfaces& surfaces, Surface& target) {
    const Surface& ascreen = surfaces.ascreen;
    if (target.width != ascreen.width || target.height != ascreen.height) {
        size_scene_picture(surfaces, target, ascreen.width, ascreen.height);
    }
    scene_blit(surfaces, target, 0, 0, ascreen, 0, 0, surfaces.scene_width, surfaces.scene_height);
}

}  // namespace

void leaving_step(Scene& scene) {
    SpriteTables& t = scene.tables;
    // Gentle motion: the pictures leave at their own pace; the change waits for them.
    const bool hurry = !scene.settings.reduced_motion;
    // Not scaled by the speed factor: the sprites leave at the same extra pace at any speed.
    const double step_x = t.speed_x[1] / 10.0;
    const double step_y = t.speed_y[1] / 10.0;
    bool any_left = false;
    const int32_t live_slots = scene.settings.sprite_active;
    for (int32_t slot = 1; slot <= live_slots; ++slot) {
        sprite_rec& s = t.sprites[slot];
        if (s.active == 0) continue;
        any_left = true;
        if (!hurry) continue;
        s.dx = speed_up(s.dx, step_x);
        s.dy = speed_up(s.dy, step_y);
    }
    if (!any_left) change_background(scene);
}

void change_background(Scene& scene) {
    RunState& run = scene.run;
    SceneSurfaces& surfaces = scene.surfaces;
    paint_random_gradient(surfaces.ascreen, run, scene.random, scene.gradient);
    surfaces.ascreen_repainted = true;
    mark_painted(surfaces, ScenePicture::Ascreen);

    take_background(surfaces, surfaces.main);
    if (!surfaces.composed_in_ascreen) take_background(surfaces, surfaces.work);
    surfaces.remnants.clear();

    run.scene_start_tick = scene.clock.tick_ms();
    run.background_change_due = 0;
}

void check_scene_timer(Scene& scene) {
    RunState& run = scene.run;
    const int64_t tick = scene.clock.tick_ms();
    // A reading that has not moved past the start counts as one millisecond after it.
    const int64_t now = std::max(tick, run.scene_start_tick + 1);
    if (now - run.scene_start_tick <= kSceneChangeIntervalMs) return;
    if (scene.settings.gradients_on) {
        run.background_change_due = 1;
    } else {
        run.scene_start_tick = tick;
    }
}

}  // namespace vistaloom
