#include "compose/frame_passes.h"

#include <algorithm>

#include "ground/rounding.h"
#include "pixels/rect_cover.h"
#include "pixels/scene_surfaces.h"
#include "sprites/draw_order.h"
#include "sprites/scene.h"
#include "startup/run_settings.h"

namespace vistaloom {

Rect last_place(const Surface& target, const Surface& source, const SpriteTables& tables,
                const sprite_rec& s) {
    const CellRow size = cell_row_or_empty(tables, s.last_cell);
    const int32_t x = round_to_int(s.last_x);
    const int32_t y = round_to_int(s.last_y);
    return clip_copy(target, x, y, source, x, y, size.width, size.height).target;
}

std::vector<Rect> take_restore_rects(const Surface& target, const Surface& source, Scene& scene) {
    SpriteTables& tables = scene.tables;
    std::vector<Rect> rects;
    for_each_slot_in_draw_order(tables, scene.settings.sprite_active, [&](int32_t, sprite_rec& s) {
        if (!s.drawn) return;
        const Rect r = last_place(target, source, tables, s);
        if (r.w > 0 && r.h > 0) rects.push_back(r);
        s.drawn = false;
    });
    return rects;
}

uint64_t restore_background(Surface& target, const Surface& source, Scene& scene) {
    uint64_t bytes = 0;
    for (const Rect& r : take_restore_rects(target, source, scene))
        bytes +=
            rect_bytes(scene_blit(scene.surfaces, target, r.x, r.y, source, r.x, r.y, r.w, r.h));
    return bytes;
}

namespace {

// Where the sprite was plus where it is, one extra pixel right and down (not clipped).
Rect dirty_rect(const SpriteTables& tables, const sprite_rec& s) {
    const CellRow now = cell_row_or_empty(tables, s.cell);
    const CellRow before = cell_row_or_empty(tables, s.last_cell);
    // The union is worked out on the fractional positions; only the results are rounded,
    // each by itself, so the copy always covers both rounded sprite rectangles.
    const double left = std::min(s.x, s.last_x);
    const double right = std::max(s.x + now.width, s.last_x + before.width);
    const double top = std::min(s.y, s.last_y);
    const double bottom = std::max(s.y + now.height, s.last_y + before.height);
    return {round_to_int(left), round_to_int(top), round_to_int(right - left + 1),
            round_to_int(bottom - top + 1)};
}

}  // namespace

void uncover_remnants(Scene& scene) {
    SceneSurfaces& surfaces = scene.surfaces;
    auto uncover = [&](int32_t, sprite_rec& s) {
        if (s.active == 0 || surfaces.remnants.empty()) return;
        const Rect dirty = dirty_rect(scene.tables, s);
        std::vector<Rect> left;
        for (const Rect& r : surfaces.remnants) {
            const Rect o = intersect(r, dirty);
            if (o.w > 0 && o.h > 0)
                scene_blit(surfaces, surfaces.ascreen, o.x, o.y, surfaces.main, o.x, o.y, o.w, o.h);
            for (const Rect& part : uncovered_parts(r, {dirty})) left.push_back(part);
        }
        surfaces.remnants = std::move(left);
    };
    if (!surfaces.remnants.empty())
        for_each_slot_in_draw_order(scene.tables, scene.settings.sprite_active, uncover);
}

uint64_t present_frame(Surface& target, const Surface& source, Scene& scene) {
    SpriteTables& tables = scene.tables;
    uint64_t bytes = 0;
    for_each_slot_in_draw_order(tables, scene.settings.sprite_active, [&](int32_t, sprite_rec& s) {
        if (s.active == 0) return;
        const Rect d = dirty_rect(tables, s);
        // A frame built in `target` itself is there already; it only changed there.
        const Rect copied =
            &target == &source
                ? clip_copy(target, d.x, d.y, source, d.x, d.y, d.w, d.h).target
                : scene_blit(scene.surfaces, target, d.x, d.y, source, d.x, d.y, d.w, d.h);
        if (copied.w > 0 && copied.h > 0) {
            scene.surfaces.presented.push_back(copied);
            bytes += rect_bytes(copied);
        }
        s.drawn = s.active != 0;
        s.last_x = s.x;
        s.last_y = s.y;
        s.last_cell = s.cell;
    });
    return bytes;
}

}  // namespace vistaloom
