#include "saver/screen_layout.h"

#include <algorithm>
#include <cmath>

#include "pixels/rect_cover.h"

namespace vistaloom {

namespace {

int32_t scaled(int32_t logical, double ratio) {
    return static_cast<int32_t>(std::lround(logical * ratio));
}

// floor(a * b / c) and its ceiling for c > 0, exact for any pixel count.
int64_t floor_div(int64_t num, int64_t den) {
    return num >= 0 ? num / den : -((-num + den - 1) / den);
}
int64_t ceil_div(int64_t num, int64_t den) {
    return -floor_div(-num, den);
}

// The source pixel a target pixel shows: the one under the target pixel's centre.
int32_t sample(int32_t target, int32_t place_at, int32_t place_len, int32_t source_at,
               int32_t source_len) {
    const int64_t twice = 2 * static_cast<int64_t>(target - place_at) + 1;
    return source_at + static_cast<int32_t>(twice * source_len / (2 * int64_t{place_len}));
}

}  // namespace

int32_t ScreenArea::device_width() const {
    return scaled(width, ratio);
}

int32_t ScreenArea::device_height() const {
    return scaled(height, ratio);
}

Rect SceneView::place_of(const Rect& changed) const {
    const Rect c = intersect(changed, source);
    if (c.w <= 0 || source.w <= 0 || source.h <= 0) return {};
    const auto x0 = floor_div(int64_t{c.x - source.x} * place.w, source.w);
    const auto x1 = ceil_div(int64_t{c.x + c.w - source.x} * place.w, source.w);
    const auto y0 = floor_div(int64_t{c.y - source.y} * place.h, source.h);
    const auto y1 = ceil_div(int64_t{c.y + c.h - source.y} * place.h, source.h);
    return intersect({place.x + static_cast<int32_t>(x0), place.y + static_cast<int32_t>(y0),
                      static_cast<int32_t>(x1 - x0), static_cast<int32_t>(y1 - y0)},
                     place);
}

Rect fit_keeping_aspect(int32_t source_w, int32_t source_h, int32_t w, int32_t h) {
    if (source_w <= 0 || source_h <= 0 || w <= 0 || h <= 0) return {};
    // Whichever side is the tighter fit decides the scale; the other gets the bars.
    if (int64_t{w} * source_h <= int64_t{h} * source_w) {
        const auto fitted_h = static_cast<int32_t>(int64_t{w} * source_h / source_w);
        return {0, (h - fitted_h) / 2, w, fitted_h};
    }
    const auto fitted_w = static_cast<int32_t>(int64_t{h} * source_w / source_h);
    return {(w - fitted_w) / 2, 0, fitted_w, h};
}

SceneView mirror_view(const ScreenArea& scene_screen, const ScreenArea& viewer) {
    const Rect scene{0, 0, scene_screen.device_width(), scene_screen.device_height()};
    return {scene,
            fit_keeping_aspect(scene.w, scene.h, viewer.device_width(), viewer.device_height())};
}

SceneView span_view(const SpanOrigin& origin, const ScreenArea& viewer) {
    // Measured in the scene screen's device pixels: a screen of another ratio shows its part
    // scaled, as large on the desk as its neighbours show theirs.
    return {
        {scaled(viewer.x - origin.left, origin.ratio), scaled(viewer.y - origin.top, origin.ratio),
         scaled(viewer.width, origin.ratio), scaled(viewer.height, origin.ratio)},
        {0, 0, viewer.device_width(), viewer.device_height()}};
}

SpanOrigin span_origin(const std::vector<ScreenArea>& screens) {
    if (screens.empty()) return {};
    SpanOrigin origin{screens[0].x, screens[0].y, screens[0].ratio};
    for (const ScreenArea& s : screens) {
        origin.left = std::min(origin.left, s.x);
        origin.top = std::min(origin.top, s.y);
    }
    return origin;
}

ScreenPlan plan_added_screen(ScreenMode mode, const ScreenArea& scene_screen,
                             const SpanOrigin& span, const ScreenArea& added) {
    ScreenPlan plan;
    switch (mode) {
        case ScreenMode::Each: {
            const Rect own{0, 0, added.device_width(), added.device_height()};
            plan.role = ScreenRole::Scene;
            plan.view = {own, own};
            break;
        }
        case ScreenMode::Main:
            plan.role = ScreenRole::Black;
            break;
        case ScreenMode::Mirror:
            plan.role = ScreenRole::Viewer;
            plan.view = mirror_view(scene_screen, added);
            break;
        case ScreenMode::Span:
            plan.role = ScreenRole::Viewer;
            plan.view = span_view(span, added);
            break;
    }
    return plan;
}

std::optional<SceneView> view_shown(const ScreenPlan& plan) {
    if (plan.role != ScreenRole::Viewer) return std::nullopt;
    return plan.view;
}

ScreensPlan plan_screens(ScreenMode mode, const std::vector<ScreenArea>& screens) {
    ScreensPlan plan;
    plan.screens.resize(screens.size());
    if (screens.empty()) return plan;
    const ScreenArea& main = screens.front();
    plan.screens[0].role = ScreenRole::Scene;
    const Rect main_device{0, 0, main.device_width(), main.device_height()};
    plan.screens[0].view = {main_device, main_device};
    const SpanOrigin origin = span_origin(screens);
    if (mode == ScreenMode::Span) {
        int32_t right = main.x + main.width, bottom = main.y + main.height;
        for (const ScreenArea& s : screens) {
            right = std::max(right, s.x + s.width);
            bottom = std::max(bottom, s.y + s.height);
        }
        plan.scene_width = scaled(right - origin.left, origin.ratio);
        plan.scene_height = scaled(bottom - origin.top, origin.ratio);
        plan.screens[0].view = span_view(origin, main);
        plan.scene_left = plan.screens[0].view.source.x;
        plan.scene_top = plan.screens[0].view.source.y;
    }
    // Every other screen gets what it would get plugged in beside the first.
    for (size_t i = 1; i < screens.size(); ++i)
        plan.screens[i] = plan_added_screen(mode, main, origin, screens[i]);
    return plan;
}

Rect draw_view(Surface& target, const SceneView& view, const Surface& scene, int32_t scene_left,
               int32_t scene_top, const Rect& changed) {
    const Rect place = intersect(view.place_of(changed), {0, 0, target.width, target.height});
    if (place.w <= 0 || place.h <= 0) return {};
    const Rect scene_area{scene_left, scene_top, scene.width, scene.height};
    // One to one (a span's part, a mirror of a screen of the same size): no sampling.
    const bool same_size = view.source.w == view.place.w;
    for (int32_t ty = place.y; ty < place.y + place.h; ++ty) {
        const int32_t sy = sample(ty, view.place.y, view.place.h, view.source.y, view.source.h);
        uint32_t* out = target.row(ty);
        const bool row_inside = sy >= scene_area.y && sy < scene_area.y + scene_area.h;
        const uint32_t* in = row_inside ? scene.row(sy - scene_top) : nullptr;
        if (same_size) {
            // Source x = target x + shift: the part inside the scene is one row copy.
            const int32_t shift = view.source.x - view.place.x;
            const int32_t from = std::clamp(scene_area.x - shift, place.x, place.x + place.w);
            const int32_t to =
                std::clamp(scene_area.x + scene_area.w - shift, from, place.x + place.w);
            if (!in) {
                std::fill(out + place.x, out + place.x + place.w, 0u);
                continue;
            }
            std::fill(out + place.x, out + from, 0u);
            std::copy(in + from + shift - scene_left, in + to + shift - scene_left, out + from);
            std::fill(out + to, out + place.x + place.w, 0u);
            continue;
        }
        for (int32_t tx = place.x; tx < place.x + place.w; ++tx) {
            const int32_t sx = sample(tx, view.place.x, view.place.w, view.source.x, view.source.w);
            const bool inside = in && sx >= scene_area.x && sx < scene_area.x + scene_area.w;
            out[tx] = inside ? in[sx - scene_left] : 0u;
        }
    }
    return place;
}

}  // namespace vistaloom
