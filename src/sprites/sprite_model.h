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

}  // namespace vistaloom
