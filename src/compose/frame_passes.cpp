#include "compose/frame_passes.h"

#include <algorithm>

#include "ground/rounding.h"
#include "pixels/scene_surfaces.h"
#include "sprites/draw_order.h"
#include "sprites/scene.h"
#include "startup/run_settings.h"

namespace vistaloom {

std::vector<Rect> take_restore_rects(const Surface& target, const Surface& source,
                                     Scene& scene) {
    SpriteTables& tables = scene.tables;
    std::vector<Rect> rects;
    for_each_slot_in_draw_order(tables, scene.settings.sprite_active, [&](int32_t, sprite_rec& s) {
        if (!s.drawn) return;
        const CellRow size = cell_row_or_empty(tables, s.last_cell);
        const int32_t x = round_to_int(s.last_x);
        const int32_t y = round_to_int(s.last_y);
        const Rect r = clip_copy(target, x, y, source, x, y, size.width, size.height).target;
        if (r.w > 0 && r.h > 0) rects.push_back(r);
        s.drawn = false;
    });
    return rects;
}

uint64_t restore_background(Surface& target, const Surface& source, Scene& scene) {
    uint64_t bytes = 0;
    for (const Rect& r : take_restore_rects(target, source, scene))
        bytes += rect_bytes(blit(target, r.x, r.y, source, r.x, r.y, r.w, r.h));
    return bytes;
}

uint64_t present_frame(Surface& target, const Surface& source, Scene& scene) {
    SpriteTables& tables = scene.tables;
    uint64_t bytes = 0;
    for_each_slot_in_draw_order(tables, scene.settings.sprite_active, [&](int32_t, sprite_rec& s) {
        if (s.active == 0) return;
        const CellRow now = cell_row_or_empty(tables, s.cell);
        const CellRow before = cell_row_or_empty(tables, s.last_cell);
        // The union is worked out on the fractional positions; only the results are
        // rounded, each by itself, so the copy always covers both rounded sprite
        // rectangles.
        const double left = std::min(s.x, s.last_x);
        const double right = std::max(s.x + now.width, s.last_x + before.width);
        const double top = std::min(s.y, s.last_y);
        const double bottom = std::max(s.y + now.height, s.last_y + before.height);
        const int32_t x = round_to_int(left);
        const int32_t y = round_to_int(top);
        const Rect copied = blit(target, x, y, source, x, y, round_to_int(right - left + 1),
                                 round_to_int(bottom - top + 1));
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
