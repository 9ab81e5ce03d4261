#pragma once
// Small colour and noise helpers for painting the demo theme's pictures procedurally.
#include <algorithm>
#include <cmath>
#include <cstdint>

namespace demo {

constexpr double kPi = 3.14159265358979323846;

struct Rgb {
    double r = 0, g = 0, b = 0;
};
inline Rgb operator+(Rgb a, Rgb b) {
    return {a.r + b.r, a.g + b.g, a.b + b.b};
}
inline Rgb operator*(Rgb a, double s) {
    return {a.r * s, a.g * s, a.b * s};
}
inline Rgb operator*(Rgb a, Rgb b) {
    return {a.r * b.r, a.g * b.g, a.b * b.b};
}

// Colours are written as 0xRRGGBB for readability.
inline Rgb hex(uint32_t rgb) {
    return {((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0};
}
inline double clamp01(double v) {
    return std::clamp(v, 0.0, 1.0);
}
inline Rgb mix(Rgb a, Rgb b, double t) {
    return a * (1 - t) + b * t;
}
inline double smoothstep(double e0, double e1, double x) {
    double t = clamp01((x - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}
inline double fract(double v) {
    return v - std::floor(v);
}

// Colour ramps through several stops at even spacing, t in [0, 1].
template <size_t N>
Rgb ramp(const Rgb (&stops)[N], double t) {
    t = clamp01(t) * (N - 1);
    size_t i = std::min(static_cast<size_t>(t), N - 2);
    return mix(stops[i], stops[i + 1], smoothstep(0, 1, t - i));
}

// Cosine palette: smooth cyclic colour ramps from four parameter triples.
inline Rgb cosine_palette(double t, Rgb a, Rgb b, Rgb c, Rgb d) {
    return {a.r + b.r * std::cos(2 * kPi * (c.r * t + d.r)),
            a.g + b.g * std::cos(2 * kPi * (c.g * t + d.g)),
            a.b + b.b * std::cos(2 * kPi * (c.b * t + d.b))};
}

inline Rgb hsv(double h, double s, double v) {
    h = fract(h) * 6;
    double c = v * s;
    double x = c * (1 - std::fabs(std::fmod(h, 2.0) - 1));
    Rgb out;
    if (h < 1)
        out = {c, x, 0};
    else if (h < 2)
        out = {x, c, 0};
    else if (h < 3)
        out = {0, c, x};
    else if (h < 4)
        out = {0, x, c};
    else if (h < 5)
        out = {x, 0, c};
    else
        out = {c, 0, x};
    double m = v - c;
    return {out.r + m, out.g + m, out.b + m};
}

inline double hash2(int64_t x, int64_t y, uint32_t seed) {
    uint64_t h = static_cast<uint64_t>(x) * 0x9E3779B97F4A7C15ull ^
                 static_cast<uint64_t>(y) * 0xC2B2AE3D27D4EB4Full ^ (uint64_t{seed} << 32 | seed);
    h ^= h >> 31;
    h *= 0xBF58476D1CE4E5B9ull;
    h ^= h >> 27;
    h *= 0x94D049BB133111EBull;
    h ^= h >> 33;
    return static_cast<double>(h >> 11) / 9007199254740992.0;
}

inline double value_noise(double x, double y, uint32_t seed) {
    double fx = std::floor(x), fy = std::floor(y);
    auto ix = static_cast<int64_t>(fx), iy = static_cast<int64_t>(fy);
    double tx = x - fx, ty = y - fy;
    tx = tx * tx * tx * (tx * (tx * 6 - 15) + 10);
    ty = ty * ty * ty * (ty * (ty * 6 - 15) + 10);
    double a = hash2(ix, iy, seed), b = hash2(ix + 1, iy, seed);
    double c = hash2(ix, iy + 1, seed), d = hash2(ix + 1, iy + 1, seed);
    return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
}

// Fractal noise in [0, 1].
inline double fbm(double x, double y, int octaves, uint32_t seed) {
    double sum = 0, amp = 0.5, norm = 0;
    for (int i = 0; i < octaves; ++i) {
        sum += amp * value_noise(x, y, seed + 17u * i);
        norm += amp;
        amp *= 0.5;
        x = x * 2.03 + 1.7;
        y = y * 2.03 - 0.9;
    }
    return sum / norm;
}

// A soft round glow: 1 at the centre falling off with distance.
inline double glow(double dx, double dy, double radius) {
    return std::exp(-(dx * dx + dy * dy) / (radius * radius));
}

// Stars scattered over the plane: small bright points on a grid of random cells.
inline double stars(double x, double y, double density, uint32_t seed) {
    const double scale = 70;
    double gx = std::floor(x * scale), gy = std::floor(y * scale);
    auto ix = static_cast<int64_t>(gx), iy = static_cast<int64_t>(gy);
    if (hash2(ix, iy, seed) > density) return 0;
    double cx = (gx + 0.2 + 0.6 * hash2(ix, iy, seed + 1)) / scale;
    double cy = (gy + 0.2 + 0.6 * hash2(ix, iy, seed + 2)) / scale;
    double bright = hash2(ix, iy, seed + 3);
    double size = 0.0012 + 0.0028 * bright * bright;
    return (0.35 + 0.65 * bright) * glow(x - cx, y - cy, size);
}

// Every scene paints one point: x in [0, 4/3] from the left, y in [0, 1] from the top.
using Painter = Rgb (*)(double x, double y);

}  // namespace demo
