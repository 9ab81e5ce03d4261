#include "pixels/rect_cover.h"

#include <algorithm>

namespace vistaloom {

namespace {

// `r` less `hole`: up to four pieces (above, below, left, right of the hole).
void subtract(const Rect& r, const Rect& hole, std::vector<Rect>& out) {
    const int32_t left = std::max(r.x, hole.x);
    const int32_t right = std::min(r.x + r.w, hole.x + hole.w);
    const int32_t top = std::max(r.y, hole.y);
    const int32_t bottom = std::min(r.y + r.h, hole.y + hole.h);
    if (left >= right || top >= bottom) {
        out.push_back(r);
        return;
    }
    if (top > r.y) out.push_back({r.x, r.y, r.w, top - r.y});
    if (bottom < r.y + r.h) out.push_back({r.x, bottom, r.w, r.y + r.h - bottom});
    if (left > r.x) out.push_back({r.x, top, left - r.x, bottom - top});
    if (right < r.x + r.w) out.push_back({right, top, r.x + r.w - right, bottom - top});
}

}  // namespace

Rect intersect(const Rect& a, const Rect& b) {
    const int32_t x0 = std::max(a.x, b.x);
    const int32_t y0 = std::max(a.y, b.y);
    const int32_t x1 = std::min(a.x + a.w, b.x + b.w);
    const int32_t y1 = std::min(a.y + a.h, b.y + b.h);
    if (x1 <= x0 || y1 <= y0) return {};
    return {x0, y0, x1 - x0, y1 - y0};
}

std::vector<Rect> uncovered_parts(const Rect& area, const std::vector<Rect>& covers,
                                  size_t max_parts) {
    std::vector<Rect> parts;
    if (area.w <= 0 || area.h <= 0) return parts;
    parts.push_back(area);
    std::vector<Rect> next;
    for (const Rect& hole : covers) {
        if (hole.w <= 0 || hole.h <= 0) continue;
        next.clear();
        for (const Rect& p : parts) subtract(p, hole, next);
        if (next.size() > max_parts) return {area};
        parts.swap(next);
        if (parts.empty()) break;
    }
    return parts;
}

}  // namespace vistaloom
