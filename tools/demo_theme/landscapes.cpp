// Landscape pictures of the demo theme: skies, hills, water, each built from layered noise.
#include "scenes.h"

namespace demo {

namespace {

// Pointed ridges: folded noise gives sharp crests and soft valleys.
double ridge(double x, double seed_y, int octaves, uint32_t seed) {
    double n = fbm(x, seed_y, octaves, seed);
    return 1 - std::fabs(2 * n - 1);
}

// Slope-based light for a height line h(x): lit on the side facing the light.
template <typename F>
double slope_light(F height, double x, double toward) {
    const double step = 0.012;
    double d = (height(x + step) - height(x - step)) / (2 * step);
    return 0.5 + 0.5 * std::tanh(-d * toward * 1.5);
}

// Pine trees standing on y = ground, at random spacing; true when (x, y) is inside one.
bool pine(double x, double y, double ground, double spacing, double tall, uint32_t seed) {
    auto cell = static_cast<int64_t>(std::floor(x / spacing));
    for (int64_t i = cell - 1; i <= cell + 1; ++i) {
        double cx = (i + 0.5 + 0.4 * (hash2(i, 0, seed) - 0.5)) * spacing;
        double h = tall * (0.5 + 0.6 * hash2(i, 1, seed));
        double top = ground - h;
        if (y < top || y > ground + 0.01) continue;
        double along = (y - top) / h;
        double teeth = 0.75 + 0.25 * fract(along * 4);  // layered boughs
        if (std::fabs(x - cx) < along * h * 0.32 * teeth + 0.0015) return true;
    }
    return false;
}

}  // namespace

Rgb sunset_sea(double x, double y) {
    const double horizon = 0.62, sx = 0.70, sy = 0.50, sr = 0.07;
    static const Rgb sky[] = {hex(0x24184f), hex(0x6d2a78), hex(0xc9456a), hex(0xf5843f),
                              hex(0xffcf73)};
    if (y < horizon) {
        double t = y / horizon;
        Rgb c = ramp(sky, t);
        c = c + hex(0xffa050) * (0.55 * glow(x - sx, (y - sy) * 1.4, 0.28));
        double cloud = fbm(x * 2.2, y * 9, 5, 11);
        double amount = smoothstep(0.5, 0.72, cloud) * smoothstep(0.05, 0.35, t) * 0.85;
        Rgb cloud_col = mix(hex(0x3d1f5c), hex(0xff8f7a), smoothstep(0.2, 0.95, t));
        c = mix(c, cloud_col, amount);
        double d = std::hypot(x - sx, y - sy);
        c = mix(c, hex(0xfff3c4), smoothstep(sr, sr - 0.006, d));
        return c;
    }
    double depth = (y - horizon) / (1 - horizon);
    Rgb c = mix(hex(0xa24a6e), hex(0x160d35), std::pow(depth, 0.6));
    double n = value_noise(x * (14 / (depth + 0.08)), std::log(depth + 0.02) * 28, 7);
    double w = 0.035 + 0.16 * depth;
    double path = std::exp(-std::pow((x - sx) / w, 2));
    c = c + hex(0xffd98f) * (path * smoothstep(0.45, 0.8, n) * 0.95);
    c = c + hex(0xff7a5c) * (0.18 * smoothstep(0.55, 0.9, n) * (1 - depth));
    return c;
}

Rgb mountains_dawn(double x, double y) {
    static const Rgb sky[] = {hex(0x34508f), hex(0x8f7fb0), hex(0xf0a7a0), hex(0xffdcaa)};
    Rgb haze = hex(0xf3c3b0);
    Rgb c = ramp(sky, clamp01(y / 0.62));
    c = c + hex(0xffe0b0) * (0.45 * glow(x - 0.35, y - 0.46, 0.22));
    const int layers = 5;
    for (int i = layers - 1; i >= 0; --i) {
        auto height = [i](double px) {
            double base = 0.42 + 0.115 * i;
            double amp = 0.26 - 0.035 * i;
            return base - amp * ridge(px * (1.3 + 0.5 * i) + i * 7.3, i * 3.1, 5, 40 + i);
        };
        double top = height(x);
        if (y < top) continue;
        double near = static_cast<double>(i) / (layers - 1);
        Rgb col = mix(mix(haze, hex(0x8a6f9e), 0.55), hex(0x1b1834), std::pow(near, 0.8));
        double fade = std::exp(-(y - top) / 0.07);
        double lit = slope_light(height, x + (y - top) * 0.6, -1);
        col = col * (0.95 + (0.35 * lit - 0.1) * fade * (1 - near * 0.5));
        if (i < layers - 1) col = mix(col, haze, 0.45 * smoothstep(top + 0.03, top + 0.22, y));
        return col;
    }
    return c;
}

Rgb aurora(double x, double y) {
    static const Rgb sky[] = {hex(0x01020a), hex(0x06122a), hex(0x0f2a44)};
    Rgb c = ramp(sky, clamp01(y / 0.85));
    c = c + Rgb{0.9, 0.95, 1.0} * (stars(x, y, 0.09, 3) * 0.9);
    for (int band = 0; band < 2; ++band) {
        double yc = 0.28 + 0.17 * band + 0.07 * std::sin(x * (3.5 + band) + band * 2) +
                    0.12 * (fbm(x * 1.6, band * 5.0, 3, 90 + band) - 0.5);
        double rays =
            0.35 + 0.65 * std::pow(value_noise(x * 42 + band * 9, y * 1.2, 77 + band), 1.5);
        double up = yc - y;
        double light =
            up > 0 ? std::exp(-up / (0.16 - 0.05 * band)) : std::exp(-std::pow(up / 0.018, 2));
        Rgb col = mix(hex(0x3dff9a), hex(0xa04dff), clamp01(up / 0.25));
        c = c + col * (light * rays * (0.95 - 0.35 * band));
    }
    double ground = 0.84 + 0.025 * std::sin(x * 3) + 0.02 * fbm(x * 4, 1, 3, 5);
    if (y > ground) {
        Rgb snow = mix(hex(0x1d3350), hex(0x0c1626), smoothstep(ground, 1.0, y));
        return snow + hex(0x3dff9a) * 0.06;
    }
    if (pine(x, y, ground + 0.01, 0.045, 0.16, 21)) return hex(0x02050a);
    return c;
}

Rgb desert_dunes(double x, double y) {
    static const Rgb sky[] = {hex(0x2f78c8), hex(0x8fbde0), hex(0xf6dcae)};
    Rgb c = ramp(sky, clamp01(y / 0.48));
    double d = std::hypot(x - 1.02, y - 0.17);
    c = c + hex(0xfff0c0) * (0.5 * glow(x - 1.02, y - 0.17, 0.16));
    c = mix(c, hex(0xfffbe8), smoothstep(0.05, 0.044, d));
    for (int i = 3; i >= 0; --i) {  // nearest row of dunes first
        // Gentle windward slope up to a sharp crest, then a steep slip face in shadow.
        auto phase = [i](double px) {
            return px * (0.9 + 0.55 * i) + i * 1.9 + 0.4 * fbm(px * 1.5, i, 3, 60 + i);
        };
        auto profile = [](double s) {
            s = fract(s);
            return s < 0.72 ? smoothstep(0, 0.72, s) : 1 - smoothstep(0.72, 1, s);
        };
        double top = 0.47 + 0.13 * i - (0.08 + 0.035 * i) * profile(phase(x));
        if (y < top) continue;
        double near = i / 3.0;
        double below = y - top;
        // The slip face sits just past each crest; its shadow reaches down a little way.
        double s = fract(phase(x));
        double slip = smoothstep(0.70, 0.74, s) * smoothstep(1.0, 0.97, s);
        double lit = 1 - slip * std::exp(-below / (0.05 + 0.05 * near));
        lit = std::min(lit, 0.55 + 0.45 * std::exp(-below / 0.25));
        Rgb shade = mix(hex(0xb0613a), hex(0xf7cb8a), lit);
        double ripple = 0.035 * std::sin(x * 70 + y * 240 + 6 * fbm(x * 5, y * 5, 2, 3));
        shade = shade * (1 + ripple * near * lit);
        return mix(shade, hex(0xf0cfa0), 0.45 * (1 - near));
    }
    return c;
}

Rgb tropical_lagoon(double x, double y) {
    if (y < 0.4) {
        static const Rgb sky[] = {hex(0x2a88dd), hex(0x79c0f0), hex(0xd2efff)};
        Rgb c = ramp(sky, y / 0.4);
        double cloud = smoothstep(0.5, 0.75, fbm(x * 3, y * 7, 5, 14));
        return mix(
            c, mix(hex(0xffffff), hex(0xc9d8e8), smoothstep(0.6, 0.9, fbm(x * 6, y * 14, 3, 9))),
            cloud);
    }
    double beach = 0.8 + 0.035 * std::sin(x * 4.5 + 1) + 0.015 * fbm(x * 8, 0, 3, 4);
    if (y > beach + 0.012) {
        double grain = fbm(x * 60, y * 60, 2, 8);
        return mix(hex(0xe9cf98), hex(0xfbe9c4), grain) * (0.95 + 0.08 * smoothstep(beach, 1, y));
    }
    if (y > beach) return hex(0xfdfdf8);  // the foam line
    double depth = (y - 0.4) / (beach - 0.4);
    static const Rgb sea[] = {hex(0x0b5d93), hex(0x1398b8), hex(0x3fd1c9), hex(0xa6f0dc)};
    Rgb c = ramp(sea, depth);
    double n = fbm(x * 7, y * 22, 4, 31);
    double caustic = std::pow(1 - std::fabs(std::sin(n * 14)), 8);
    return c + hex(0xffffff) * (caustic * 0.25 * depth);
}

Rgb green_hills(double x, double y) {
    static const Rgb sky[] = {hex(0x3874cf), hex(0x8dbcf0), hex(0xe2f1ff)};
    Rgb c = ramp(sky, clamp01(y / 0.6));
    double cloud = fbm(x * 2.3, y * 5.5, 6, 23);
    double amount = smoothstep(0.52, 0.7, cloud) * (1 - smoothstep(0.35, 0.55, y));
    Rgb cloud_col = mix(hex(0xffffff), hex(0xaab8cc),
                        smoothstep(0.55, 0.8, fbm(x * 2.3, y * 5.5 + 0.15, 4, 23)));
    c = mix(c, cloud_col, amount);
    static const uint32_t greens[] = {0x9cc48a, 0x6fae4f, 0x4d9634, 0x2f7424};
    for (int i = 3; i >= 0; --i) {
        double top = 0.5 + 0.12 * i + 0.07 * std::sin(x * (2.2 + i * 0.9) + i * 2.4) +
                     0.03 * fbm(x * 3, i, 4, 70 + i);
        if (y < top) continue;
        Rgb col = hex(greens[i]) * (1.12 - 0.3 * smoothstep(top, top + 0.25, y));
        if (i == 3) {
            double f = stars(x * 1.6, y * 2.4, 0.3, 88) * smoothstep(top, top + 0.1, y);
            static const uint32_t petals[] = {0xffe14d, 0xff6b6b, 0xffffff, 0xd78cff};
            uint32_t pick =
                petals[static_cast<int>(hash2(int64_t(x * 60), int64_t(y * 60), 5) * 4)];
            col = mix(col, hex(pick), clamp01(f * 1.5));
        }
        return col;
    }
    return c;
}

Rgb moonlit_peaks(double x, double y) {
    static const Rgb sky[] = {hex(0x040818), hex(0x12224a), hex(0x2c4378)};
    Rgb c = ramp(sky, clamp01(y / 0.7));
    c = c + Rgb{0.9, 0.92, 1} * (stars(x, y, 0.1, 41) * 0.8);
    c = c + hex(0x8fa8e0) * (0.35 * glow(x - 1.0, y - 0.2, 0.2));
    double d = std::hypot(x - 1.0, y - 0.2);
    double crater = 0.9 + 0.1 * fbm(x * 40, y * 40, 3, 2);
    c = mix(c, hex(0xf4f0dc) * crater, smoothstep(0.055, 0.05, d));
    for (int i = 1; i >= 0; --i) {
        auto height = [i](double px) {
            return 0.55 + 0.16 * i -
                   (0.32 - 0.08 * i) * ridge(px * (1.4 + i) + 3 * i, 2.0 * i, 6, 50 + i);
        };
        double top = height(x);
        if (y < top) continue;
        double fade = std::exp(-(y - top) / 0.18);
        double gully = fbm(x * 16 + y * 5, y * 7, 4, 7);
        double lit = slope_light(height, x + (y - top) * 0.7, -1) * (0.75 + 0.5 * gully);
        Rgb snow = mix(hex(0x4d5d8c), hex(0xe3ecfa), clamp01(0.35 + (lit - 0.35) * fade));
        Rgb rock = hex(0x151b33);
        double snowline =
            smoothstep(top + 0.28, top + 0.1, y) * (0.7 + 0.3 * fbm(x * 20, y * 20, 3, 6));
        Rgb col = mix(rock, snow, snowline);
        if (i == 0) col = mix(col, hex(0x2c4378), 0.25);
        return col;
    }
    if (pine(x, y, 1.0, 0.03, 0.13, 17)) return hex(0x03060f);
    return c;
}

Rgb golden_rays(double x, double y) {
    static const Rgb sky[] = {hex(0x3c6fb3), hex(0xb9a9b8), hex(0xffcf8a)};
    const double sx = 0.72, sy = 0.12;
    Rgb c = ramp(sky, clamp01(y / 0.7));
    double a = std::atan2(y - sy, x - sx);
    double dist = std::hypot(x - sx, y - sy);
    double ray = std::pow(value_noise(a * 14, 0.5, 19), 2.2) * smoothstep(1.2, 0.1, dist);
    double cloud =
        smoothstep(0.45, 0.7, fbm(x * 2.5, y * 6, 6, 29)) * (1 - smoothstep(0.2, 0.45, y));
    c = mix(c, mix(hex(0x6e6f8c), hex(0xffe6b8), smoothstep(0.35, 0.05, dist)), cloud);
    c = c + hex(0xffd28a) * (0.55 * ray * (1 - cloud * 0.7));
    c = c + hex(0xfff0c8) * (0.5 * glow(x - sx, y - sy, 0.09));
    for (int i = 0; i < 3; ++i) {
        int layer = 2 - i;  // nearest first
        double t2 = 0.62 + 0.1 * layer + 0.05 * std::sin(x * (3 + layer) + layer) +
                    0.03 * fbm(x * 3, layer, 4, 80 + layer);
        if (y < t2) continue;
        double near = layer / 2.0;
        Rgb col = mix(hex(0xc99a6a), hex(0x3b2a22), near);
        col = mix(col, hex(0xffd9a0), 0.4 * smoothstep(t2 + 0.12, t2, y) * (1 - near * 0.6));
        col = col + hex(0xffd28a) * (0.25 * ray);
        return col;
    }
    return c;
}

Rgb city_dusk(double x, double y) {
    const double water = 0.86;
    double sy = y;
    double dim = 1;
    if (y > water) {
        sy = 2 * water - y;
        x += 0.006 * std::sin(y * 320) * (y - water) * 8;
        dim = 0.55;
    }
    static const Rgb sky[] = {hex(0x0b0d2e), hex(0x3a2466), hex(0xc24f78), hex(0xffa868)};
    Rgb c = ramp(sky, clamp01(sy / water));
    c = c + Rgb{1, 1, 1} * (stars(x, sy, 0.07, 66) * (1 - smoothstep(0.1, 0.5, sy)));
    for (int layer = 0; layer <= 1; ++layer) {  // front row first
        double w = layer ? 0.07 : 0.095;
        double shift = layer ? 0.031 : 0.0;
        double cell = std::floor((x + shift) / w);
        auto ci = static_cast<int64_t>(cell);
        double h = (layer ? 0.22 : 0.12) + (layer ? 0.2 : 0.35) * hash2(ci, layer, 12);
        double top = water - h;
        double left = cell * w - shift, inset = (0.05 + 0.15 * hash2(ci, 7, 12)) * w;
        if (sy < top || x < left + inset || x > left + w - inset) continue;
        Rgb body = layer ? mix(c, hex(0x3b2d66), 0.8) : hex(0x15132a);
        double lx = (x - left - inset) / 0.014, ly = (sy - top - 0.012) / 0.02;
        if (ly > 0 && fract(lx) > 0.3 && fract(lx) < 0.75 && fract(ly) > 0.3 && fract(ly) < 0.8 &&
            hash2(int64_t(lx) + ci * 100, int64_t(ly), 33 + layer) > 0.45)
            body = mix(body, mix(hex(0xffc766), hex(0xfff0b0), hash2(int64_t(lx), int64_t(ly), 34)),
                       layer ? 0.45 : 1.0);
        return body * dim;
    }
    return c * dim;
}

}  // namespace demo
