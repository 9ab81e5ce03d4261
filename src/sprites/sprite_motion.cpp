#include "sprites/sprite_motion.h"

#include "sprites/draw_order.h"
#include "sprites/scene.h"
#include "sprites/sprite_model.h"

namespace vistaloom {

namespace {

bool is_slot(int32_t slot) {
    return slot >= 1 && slot <= 10;
}

// Frees the slot once it lies wholly beyond a bound. The tests are strict: a sprite whose left
// edge sits exactly on the right bound (or right edge on the left bound) lives one more frame.
void free_if_outside(SpriteTables& tables, int32_t slot, double left, double top, double right,
                     double bottom) {
    const sprite_rec& s = tables.sprites[static_cast<std::size_t>(slot)];
    const CellRow size = cell_row_or_empty(tables, s.cell);
    if (s.x > right || s.x + size.width < left) {
        reset_sprite(tables, slot);
        return;
    }
    if (s.y > bottom || s.y + size.height < top) reset_sprite(tables, slot);
}

}  // namespace

void move_straight(Scene& scene, int32_t slot) {
    if (!is_slot(slot)) return;
    sprite_rec& s = scene.tables.sprites[static_cast<std::size_t>(slot)];
    s.x += s.dx;
    s.y += s.dy;
    free_if_outside(scene.tables, slot, s.param1, s.param2, s.param3, s.param4);
}

void move_accelerating(Scene& scene, int32_t slot) {
    if (!is_slot(slot)) return;
    sprite_rec& s = scene.tables.sprites[static_cast<std::size_t>(slot)];
    // The velocity changes after the move, so the first step moves by the launch velocity.
    s.x += s.dx;
    s.y += s.dy;
    s.dx += s.param1;
    s.dy += s.param2;
    free_if_outside(scene.tables, slot, s.param3, s.param4, s.param5, s.param6);
}

void move_sprite(Scene& scene, int32_t slot) {
    if (!is_slot(slot)) return;
    const int32_t motion = scene.tables.sprites[static_cast<std::size_t>(slot)].motion;
    if (motion == kMotionStraight) {
        move_straight(scene, slot);
    } else if (motion == kMotionAccelerating) {
        move_accelerating(scene, slot);
    }
}

}  // namespace vistaloom
