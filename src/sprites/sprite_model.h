#pragma once
#include <array>
#include <cstdint>

namespace vistaloom {

// Motion kinds.
inline constexpr int32_t kMotionNone = 0;
inline constexpr int32_t kMotionStraight = 3;
inline constexpr int32_t kMotionAccelerating = 5;

struct sprite_rec {
    double x = 0;
    double y = 0;
    double last_x = 0;
    double last_y = 0;
    int32_t last_cell = 0;
    bool drawn = false;
    double dx = 0;
    double dy = 0;
    int32_t active = 0;
    int32_t motion = kMotionNone;
    int32_t cell = 0;
    double param1 = 0;
    double param2 = 0;
    double param3 = 0;
    double param4 = 0;
    double param5 = 0;
    double param6 = 0;
    int32_t picture = 0;
};

struct CellRow {
    int32_t src_x = 0;
    int32_t src_y = 0;
    int32_t width = 0;
    int32_t height = 0;
};

// The sprite tables of one saver session, used from position 1 as the rules number them.
struct SpriteTables {
    std::array<sprite_rec, 11> sprites{};     // slots 1..10
    std::array<CellRow, 21> cell_table{};     // rows 1..20; row 0 stays 0 x 0
    std::array<int32_t, 11> draw_order{};     // entries 1..10
    std::array<double, 51> speed_x{};         // entries 1..50
    std::array<double, 51> speed_y{};
};

// Frees a slot. Only `active`, `motion` and `picture` change; the rest keeps its last values.
inline void reset_sprite(SpriteTables& t, int32_t slot) {
    sprite_rec& s = t.sprites[slot];
    s.active = 0;
    s.motion = kMotionNone;
    s.picture = 0;
}

inline void place_sprite(SpriteTables& t, int32_t slot, double x, double y, int32_t cell,
                         int32_t picture) {
    sprite_rec& s = t.sprites[slot];
    s.x = x;
    s.y = y;
    s.cell = cell;
    s.active = 1;
    s.picture = picture;
}

inline void set_straight_motion(SpriteTables& t, int32_t slot, double dx, double dy, double left,
                                double top, double right, double bottom) {
    sprite_rec& s = t.sprites[slot];
    s.dx = dx;
    s.dy = dy;
    s.param1 = left;
    s.param2 = top;
    s.param3 = right;
    s.param4 = bottom;
    s.motion = kMotionStraight;
}

inline void set_accelerating_motion(SpriteTables& t, int32_t slot, double dx, double dy, double ax,
                                    double ay, double left, double top, double right,
                                    double bottom) {
    sprite_rec& s = t.sprites[slot];
    s.dx = dx;
    s.dy = dy;
    s.param1 = ax;
    s.param2 = ay;
    s.param3 = left;
    s.param4 = top;
    s.param5 = right;
    s.param6 = bottom;
    s.motion = kMotionAccelerating;
}

inline void set_cell(SpriteTables& t, int32_t n, int32_t src_x, int32_t src_y, int32_t width,
                     int32_t height) {
    t.cell_table[n] = CellRow{src_x, src_y, width, height};
}

// Number of live slots (1..sprite_active) whose `active` is not 0. `sprite_active` must
// already be in 1..10.
inline int32_t count_active_sprites(const SpriteTables& t, int32_t sprite_active) {
    int32_t n = 0;
    for (int32_t slot = 1; slot <= sprite_active; ++slot) n += t.sprites[slot].active != 0;
    return n;
}

}  // namespace vistaloom
