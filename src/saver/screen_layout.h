#pragma once
#include <cstdint>
#include <optional>
#include <vector>

#include "pixels/surface.h"
#include "startup/screen_mode.h"

namespace vistaloom {

// One screen as the window system places it: logical pixels on the virtual desktop, and how
// many device pixels one of them is.
struct ScreenArea {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
    double ratio = 1.0;

    int32_t device_width() const;
    int32_t device_height() const;
};

// What a screen shows.
enum class ScreenRole {
    Scene,   // runs a session
    Viewer,  // shows part of another screen's scene
    Black,   // shows nothing and costs nothing; input there still ends the run
};

// A rectangle of one picture shown on a rectangle of another, scaled where the two differ:
// a viewer's picture is `source` of its scene's picture (the scene window's device pixels),
// drawn at `place` of its own (its device pixels). Everything around `place` is black.
struct SceneView {
    Rect source;
    Rect place;

    // The part of `place` that shows the source pixels in `changed` (empty when none).
    Rect place_of(const Rect& changed) const;
};

struct ScreenPlan {
    ScreenRole role = ScreenRole::Black;
    // For a viewer: which screen runs its scene (an index into the screens planned).
    size_t scene = 0;
    SceneView view;
};

// The plan for all screens; `screens` come primary first. A scene screen of a span also has
// the size of the whole scene and where it stands in it.
struct ScreensPlan {
    std::vector<ScreenPlan> screens;
    // Span only: the scene's size in the scene screen's device pixels (0 x 0 otherwise: the
    // scene screen's own size), and where the scene screen's own part starts in it.
    int32_t scene_width = 0;
    int32_t scene_height = 0;
    int32_t scene_left = 0;
    int32_t scene_top = 0;
};

ScreensPlan plan_screens(ScreenMode mode, const std::vector<ScreenArea>& screens);

// A screen showing a mirror of `scene_screen`'s scene: all of it, fitted.
SceneView mirror_view(const ScreenArea& scene_screen, const ScreenArea& viewer);
// A screen showing its part of a scene across screens: the scene's top-left corner stands at
// (`left`, `top`) of the desktop, measured at `ratio` device pixels per logical pixel. A screen
// plugged in during the run sees where it stands in the scene there is.
struct SpanOrigin {
    int32_t left = 0;
    int32_t top = 0;
    double ratio = 1.0;
};
SceneView span_view(const SpanOrigin& origin, const ScreenArea& viewer);
// Where the scene of a span plan stands (plan_screens' first screen runs it).
SpanOrigin span_origin(const std::vector<ScreenArea>& screens);

// What a screen plugged in during a run shows, by the mode, when `scene_screen` runs the
// scene there is: for `each` a scene of its own (Scene), otherwise a view of that scene
// (Viewer) or, beside `main`, nothing (Black).
ScreenPlan plan_added_screen(ScreenMode mode, const ScreenArea& scene_screen,
                             const SpanOrigin& span, const ScreenArea& added);
// The view a planned viewer shows; none for a scene of its own or a black screen.
std::optional<SceneView> view_shown(const ScreenPlan& plan);

// The largest `w` x `h` rectangle of the source's aspect inside a `w` x `h` area, centred:
// black bars on the two sides that are left over.
Rect fit_keeping_aspect(int32_t source_w, int32_t source_h, int32_t w, int32_t h);

// Draws the part of `view.place` in `target` that shows `changed` of the scene picture.
// The scene picture is `scene`, whose top-left pixel stands at `scene_origin` of the scene
// window; what lies outside it is black. Scaled views sample the nearest source pixel.
// Returns the target rectangle drawn.
Rect draw_view(Surface& target, const SceneView& view, const Surface& scene, int32_t scene_left,
               int32_t scene_top, const Rect& changed);

}  // namespace vistaloom
