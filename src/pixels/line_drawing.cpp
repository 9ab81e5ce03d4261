#include "pixels/line_drawing.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <vector>

namespace vistaloom {

namespace {

// 128-bit intermediates: with 32-bit end points the products below need up to 66 bits.
// GCC and Clang (MinGW-w64 included, which is how a Windows build is made) provide it.
#if defined(__SIZEOF_INT128__)
using Wide = __int128;
#else
#error "line drawing needs a 128-bit integer type: build with GCC or Clang (MinGW-w64 on Windows)"
#endif

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

// The pixels of a line as the rule of draw_line places them: step i (0 .. major_delta - 1) at
// major_start + major_sign * i along the major axis and minor_start + minor_sign * m(i) across.
struct LineShape {
    bool x_major = true;
    int64_t major_start = 0, minor_start = 0;
    int64_t major_delta = 0, minor_delta = 0;
    int major_sign = 1, minor_sign = 1;

    LineShape(int64_t x0, int64_t y0, int64_t x1, int64_t y1) {
        const int64_t dx = x1 - x0, dy = y1 - y0;
        x_major = std::llabs(dx) > std::llabs(dy);
        major_start = x_major ? x0 : y0;
        minor_start = x_major ? y0 : x0;
        major_delta = std::llabs(x_major ? dx : dy);
        minor_delta = std::llabs(x_major ? dy : dx);
        major_sign = (x_major ? dx : dy) >= 0 ? 1 : -1;
        minor_sign = (x_major ? dy : dx) >= 0 ? 1 : -1;
    }

    // The line's pixels whose coordinate on one axis is `value` form one run along the other
    // axis; returns it as [lo, hi], or false when there are none.
    bool run_at(bool value_is_x, int64_t value, int64_t& lo, int64_t& hi) const {
        if (major_delta == 0) return false;
        const Wide two_major = Wide{2} * major_delta;
        if (value_is_x == x_major) {
            const int64_t i = (value - major_start) * major_sign;
            if (i < 0 || i >= major_delta) return false;
            const Wide m = floor_div(Wide{2} * minor_delta * i + major_delta, two_major);
            lo = hi = minor_start + minor_sign * static_cast<int64_t>(m);
            return true;
        }
        const int64_t m = (value - minor_start) * minor_sign;
        if (m < 0) return false;
        int64_t first = 0, last = major_delta - 1;
        if (minor_delta == 0) {
            if (m != 0) return false;
        } else {
            const Wide two_minor = Wide{2} * minor_delta;
            first = static_cast<int64_t>(
                std::max<Wide>(ceil_div(two_major * m - major_delta, two_minor), 0));
            last = static_cast<int64_t>(std::min<Wide>(
                ceil_div(two_major * (Wide{m} + 1) - major_delta, two_minor) - 1, major_delta - 1));
            if (first > last) return false;
        }
        const int64_t a = major_start + major_sign * first;
        const int64_t b = major_start + major_sign * last;
        lo = std::min(a, b);
        hi = std::max(a, b);
        return true;
    }
};

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

void draw_parallel_lines(Surface& target, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                         int32_t step_x, int32_t step_y, const uint32_t* pixels, int64_t count) {
    if (target.empty() || count <= 0 || pixels == nullptr) return;
    if (std::abs(step_x) + std::abs(step_y) != 1) return;
    const LineShape line(x0, y0, x1, y1);
    const int64_t width = target.width;
    const int64_t height = target.height;
    const int64_t last = count - 1;

    // Along the direction of the step, the lines' runs in one row (or column) follow each
    // other: with run [a, b] of line 0 and step +1, place p holds line p - a while that is a
    // line, then the last line over the rest of its run; step -1 is the mirror image.
    // Returns, for positions [from, to] along the step, the first line index and whether
    // the index rises (+1) or falls (-1); positions past the slice get the last line.
    struct Slices {
        int64_t head_from, head_to;  // positions holding lines in sequence
        int64_t tail_from, tail_to;  // positions holding the last line
    };
    const auto slices = [last](int64_t a, int64_t b, int sign) {
        if (sign > 0) return Slices{a, a + last, a + last + 1, b + last};
        return Slices{b - last, b, a - last, b - last - 1};
    };

    if (step_x != 0) {
        // Each row is a copy of consecutive colours: forwards for +1, backwards for -1.
        std::vector<uint32_t> reversed;
        if (step_x < 0)
            reversed.assign(std::make_reverse_iterator(pixels + count),
                            std::make_reverse_iterator(pixels));
        for (int64_t y = 0; y < height; ++y) {
            int64_t a = 0, b = 0;
            if (!line.run_at(false, y, a, b)) continue;
            const Slices s = slices(a, b, step_x);
            uint32_t* row = target.row(static_cast<int32_t>(y));
            const int64_t from = std::max<int64_t>(s.head_from, 0);
            const int64_t to = std::min<int64_t>(s.head_to, width - 1);
            if (from <= to) {
                // +1: position p holds line p - a; -1: line b - p, which is reversed[last - b + p].
                const uint32_t* source =
                    step_x > 0 ? pixels + (from - a) : reversed.data() + (last - b + from);
                std::copy(source, source + (to - from + 1), row + from);
            }
            const int64_t tail_from = std::max<int64_t>(s.tail_from, 0);
            const int64_t tail_to = std::min<int64_t>(s.tail_to, width - 1);
            if (tail_from <= tail_to) std::fill(row + tail_from, row + tail_to + 1, pixels[last]);
        }
        return;
    }

    // Vertical steps: the columns are grouped once into segments over which line 0 is either
    // one unchanging run, or single pixels climbing by a fixed -1, 0 or +1 per column. In a
    // row, an unchanging run gives one colour, a climbing one consecutive colours: each
    // segment is one fill or one copy per row.
    struct Segment {
        int64_t x_from, x_to;  // columns
        int64_t a, b;          // line 0's run in column x_from
        int64_t slope;         // change of a (= b) per column; 0 for runs longer than 1
    };
    std::vector<Segment> segments;
    for (int64_t x = 0; x < width; ++x) {
        int64_t a = 0, b = 0;
        if (!line.run_at(true, x, a, b)) continue;
        if (!segments.empty() && segments.back().x_to == x - 1) {
            Segment& seg = segments.back();
            const int64_t length = seg.x_to - seg.x_from + 1;
            if (seg.a != seg.b || a != b) {
                if (seg.a == a && seg.b == b) {
                    seg.x_to = x;
                    continue;
                }
            } else {
                const int64_t next = seg.a + seg.slope * length;
                if (length == 1 && std::llabs(a - seg.a) <= 1) {
                    seg.slope = a - seg.a;
                    seg.x_to = x;
                    continue;
                }
                if (length > 1 && a == next) {
                    seg.x_to = x;
                    continue;
                }
            }
        }
        segments.push_back({x, x, a, b, 0});
    }
    std::vector<uint32_t> reversed(std::make_reverse_iterator(pixels + count),
                                   std::make_reverse_iterator(pixels));
    for (int64_t y = 0; y < height; ++y) {
        uint32_t* row = target.row(static_cast<int32_t>(y));
        for (const Segment& seg : segments) {
            if (seg.slope == 0) {
                const Slices s = slices(seg.a, seg.b, step_y);
                int64_t k = -1;
                if (y >= s.head_from && y <= s.head_to) {
                    k = step_y > 0 ? y - seg.a : seg.b - y;
                } else if (y >= s.tail_from && y <= s.tail_to) {
                    k = last;
                }
                if (k >= 0) std::fill(row + seg.x_from, row + seg.x_to + 1, pixels[k]);
                continue;
            }
            // Single pixels: column x_from + t holds line k0 + dk * t while that is a line.
            const int64_t k0 = step_y > 0 ? y - seg.a : seg.a - y;
            const int64_t dk = step_y > 0 ? -seg.slope : seg.slope;
            int64_t t_from = dk > 0 ? -k0 : k0 - last;
            int64_t t_to = dk > 0 ? last - k0 : k0;
            t_from = std::max<int64_t>(t_from, 0);
            t_to = std::min<int64_t>(t_to, seg.x_to - seg.x_from);
            if (t_from > t_to) continue;
            const uint32_t* source =
                dk > 0 ? pixels + (k0 + t_from) : reversed.data() + (last - k0 + t_from);
            std::copy(source, source + (t_to - t_from + 1), row + seg.x_from + t_from);
        }
    }
}

}  // namespace vistaloom
