#pragma once
#include <cstdint>
#include <vector>

#include "pixels/surface.h"

namespace vistaloom {

struct Scene;
struct SpriteTables;
struct sprite_rec;

// Erases the sprites of the previous frame: copies each one's last rectangle from `source`
// (the clean background) into `target` (the frame being composed) and clears `drawn`.
// Returns the bytes copied.
uint64_t restore_background(Surface& target, const Surface& source, Scene& scene);

// The rectangles of `target` that restore_background would copy, with the same bookkeeping
// (`drawn` cleared), but without copying: the frame copies them once it knows which parts
// this frame's sprites will cover anyway.
std::vector<Rect> take_restore_rects(const Surface& target, const Surface& source, Scene& scene);
// The rectangle of `target` a sprite was last drawn in, as take_restore_rects names it.
Rect last_place(const Surface& target, const Surface& source, const SpriteTables& tables,
                const sprite_rec& s);

// Copies each active sprite's dirty rectangle (where it was plus where it is, one extra pixel
// right and down) from `source` (the composed frame) to `target` (what the user sees), then
// remembers where the sprite now is. Every rectangle copied is appended to
// scene.surfaces.presented so the window repaints only those. Returns the bytes copied.
uint64_t present_frame(Surface& target, const Surface& source, Scene& scene);

// Before a frame's sprites are drawn: what present_frame's copy from `work` would do to the
// remnants (which only a frame built in `ascreen` itself has), where this frame presents over
// them (the background comes back there), and they shrink by it.
void uncover_remnants(Scene& scene);

// Bytes of 32-bit pixels in a copied rectangle.
inline uint64_t rect_bytes(const Rect& r) {
    return static_cast<uint64_t>(r.w) * static_cast<uint64_t>(r.h) * sizeof(uint32_t);
}

}  // namespace vistaloom
