#include "compose/background_setup.h"

#include <algorithm>
#include <cmath>

#include "ground/rounding.h"
#include "pixels/gradient_rect.h"
#include "pixels/random_gradient.h"
#include "pixels/scene_surfaces.h"
#include "sprites/scene.h"
#include "startup/run_settings.h"
#include "startup/run_state.h"

namespace vistaloom {

namespace {

constexpr int32_t kFixedSceneWidth = 800;
constexpr int32_t kFixedSceneHeight = 600;
// Three scene-sized surfaces are kept; a window reporting an absurd size must not make
// their size unbounded. 16384 covers any real screen and the virtual root of a wall of them.
constexpr int32_t kMaxSceneSide = 16384;

}  // namespace

void choose_start_background(Scene& scene, int32_t window_width_px, int32_t window_height_px) {
    if (window_width_px <= 0 || window_height_px <= 0) {
        window_width_px = kFixedSceneWidth;
        window_height_px = kFixedSceneHeight;
    }
    SceneSurfaces& surfaces = scene.surfaces;
    if (scene.settings.scale_background) {
        surfaces.scene_width = std::min(window_width_px, kMaxSceneSide);
        surfaces.scene_height = std::min(window_height_px, kMaxSceneSide);
    } else {
        // The fixed scene holds as many pictures at any scale.
        surfaces.scene_width =
            std::min(kFixedSceneWidth * scene.settings.picture_scale, kMaxSceneSide);
        surfaces.scene_height =
            std::min(kFixedSceneHeight * scene.settings.picture_scale, kMaxSceneSide);
    }
    const int32_t w = surfaces.scene_width;
    const int32_t h = surfaces.scene_height;

    // Centred as the window measures it: half the window less half the scene,
    // rounded once, so an odd leftover puts the extra pixel on the even side.
    surfaces.ascreen_left = round_to_int(window_width_px / 2.0 - w / 2.0);
    surfaces.ascreen_top = round_to_int(window_height_px / 2.0 - h / 2.0);
    if (scene.settings.gradients_on) pick_random_gradient(scene.run, scene.random, scene.gradient);
}

void paint_start_rows(Scene& scene, Surface& band, int32_t top) {
    band.fill(0);
    if (scene.settings.gradients_on)
        scene.gradient.DrawRows(band, scene.surfaces.scene_width, scene.surfaces.scene_height, top);
}

void fill_start_background(Scene& scene) {
    SceneSurfaces& surfaces = scene.surfaces;
    const int32_t w = surfaces.scene_width;
    const int32_t h = surfaces.scene_height;
    surfaces.ascreen.resize(w, h);
    paint_start_rows(scene, surfaces.ascreen, 0);
    mark_painted(surfaces, ScenePicture::Ascreen);

    size_scene_picture(surfaces, surfaces.main, w, h);
    scene_blit(surfaces, surfaces.main, 0, 0, surfaces.ascreen, 0, 0, w, h);
    if (surfaces.composed_in_ascreen) {
        surfaces.work = Surface();  // gives back what a theme's sheet left in it
    } else {
        size_scene_picture(surfaces, surfaces.work, w, h);
        scene_blit(surfaces, surfaces.work, 0, 0, surfaces.ascreen, 0, 0, w, h);
    }
    surfaces.remnants.clear();
    surfaces.ascreen_repainted = true;
}

void setup_background(Scene& scene, int32_t window_width_px, int32_t window_height_px) {
    choose_start_background(scene, window_width_px, window_height_px);
    fill_start_background(scene);
}

}  // namespace vistaloom
