#include "render/line_drawing.h"

#include <algorithm>
#include <cstdlib>

namespace vistaloom {

namespace {

// 128-bit intermediates: with 32-bit end points the products below need up to 66 bits.
using Wide = __int128;

Wide floor_div(Wide a, Wide b) {  // b > 0
    Wide q = a / b;
    if ((a % b != 0) && (a < 0)) --q;
    return q;
}

Wide ceil_div(Wide a, Wide b) {  // b > 0
    Wide q = a / b;
    if ((a % b != 0) && (a > 0)) ++q;
    return q;
}

// Inclusive range of i for which start + sign * i lies in [0, limit - 1].
void axis_range(int64_t start, int sign, int64_t limit, int64_t& lo, int64_t& hi) {
    if (sign > 0) {
        lo = -start;
        hi = limit - 1 - start;
    } else {
        lo = start - (limit - 1);
        hi = start;
    }
}

void fill_span(Surface& target, int64_t y, int64_t a, int64_t b, uint32_t pixel) {
    std::fill(target.row(static_cast<int32_t>(y)) + a, target.row(static_cast<int32_t>(y)) + b + 1,
              pixel);
}

}  // namespace

void draw_line(Surface& target, int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t pixel) {
    if (target.empty()) return;
    const int64_t width = target.width;
    const int64_t height = target.height;
    const int64_t dx = int64_t{x1} - x0;
    const int64_t dy = int64_t{y1} - y0;
    if (dx == 0 && dy == 0) return;

    // Straight lines are spans: filling them is as cheap as clearing the surface.
    if (dy == 0) {
        if (y0 < 0 || y0 >= height) return;
        int64_t a = dx > 0 ? x0 : int64_t{x1} + 1;
        int64_t b = dx > 0 ? int64_t{x1} - 1 : x0;
        a = std::max<int64_t>(a, 0);
        b = std::min<int64_t>(b, width - 1);
        if (a <= b) fill_span(target, y0, a, b, pixel);
        return;
    }
    if (dx == 0) {
        if (x0 < 0 || x0 >= width) return;
        int64_t a = dy > 0 ? y0 : int64_t{y1} + 1;
        int64_t b = dy > 0 ? int64_t{y1} - 1 : y0;
        a = std::max<int64_t>(a, 0);
        b = std::min<int64_t>(b, height - 1);
        const int64_t stride = target.stride;
        uint32_t* p = target.row(static_cast<int32_t>(a)) + x0;
        for (int64_t y = a; y <= b; ++y, p += stride) *p = pixel;
        return;
    }

    // General case, written once for "major" and "minor" axes.
    const bool x_major = std::llabs(dx) > std::llabs(dy);
    const int64_t major_start = x_major ? x0 : y0;
    const int64_t minor_start = x_major ? y0 : x0;
    const int64_t major_delta = std::llabs(x_major ? dx : dy);
    const int64_t minor_delta = std::llabs(x_major ? dy : dx);
    const int major_sign = (x_major ? dx : dy) > 0 ? 1 : -1;
    const int minor_sign = (x_major ? dy : dx) > 0 ? 1 : -1;
    const int64_t major_limit = x_major ? width : height;
    const int64_t minor_limit = x_major ? height : width;

    // Steps 0 .. major_delta - 1 (the end point is left out), inside along the major axis.
    int64_t lo = 0, hi = major_delta - 1, a_lo = 0, a_hi = 0;
    axis_range(major_start, major_sign, major_limit, a_lo, a_hi);
    lo = std::max(lo, a_lo);
    hi = std::min(hi, a_hi);
    if (lo > hi) return;

    // Minor offset m(i) = floor((2 * minor_delta * i + major_delta) / (2 * major_delta)) grows
    // with i, so the steps whose minor coordinate is inside form one range as well.
    int64_t m_lo = 0, m_hi = 0;
    axis_range(minor_start, minor_sign, minor_limit, m_lo, m_hi);
    const Wide two_major = Wide{2} * major_delta;
    const Wide two_minor = Wide{2} * minor_delta;
    if (m_lo > 0) {  // m(i) >= m_lo
        Wide first = ceil_div(two_major * m_lo - major_delta, two_minor);
        if (first > hi) return;
        lo = std::max<int64_t>(lo, static_cast<int64_t>(first));
    }
    if (m_hi < 0) return;
    {  // m(i) <= m_hi  <=>  2 * minor_delta * i < 2 * major_delta * (m_hi + 1) - major_delta
        Wide bound = two_major * (Wide{m_hi} + 1) - major_delta;
        Wide last = ceil_div(bound, two_minor) - 1;
        if (last < lo) return;
        hi = std::min<int64_t>(hi, static_cast<int64_t>(last));
    }
    if (lo > hi) return;

    const Wide start_num = two_minor * lo + major_delta;
    int64_t m = static_cast<int64_t>(floor_div(start_num, two_major));
    int64_t rem = static_cast<int64_t>(start_num - Wide{m} * two_major);
    const int64_t step_rem = 2 * minor_delta;
    const int64_t wrap = 2 * major_delta;

    const int64_t major_coord = major_start + major_sign * lo;
    const int64_t minor_coord = minor_start + minor_sign * m;
    const int64_t x = x_major ? major_coord : minor_coord;
    const int64_t y = x_major ? minor_coord : major_coord;
    const int64_t stride = target.stride;
    const int64_t major_step = x_major ? major_sign : major_sign * stride;
    const int64_t minor_step = x_major ? minor_sign * stride : minor_sign;
    uint32_t* p = target.row(static_cast<int32_t>(y)) + x;
    for (int64_t n = hi - lo;; --n) {
        *p = pixel;
        if (n == 0) break;
        p += major_step;
        rem += step_rem;
        if (rem >= wrap) {
            rem -= wrap;
            p += minor_step;
        }
    }
}

}  // namespace vistaloom
