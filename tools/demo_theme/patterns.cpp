// Abstract pictures of the demo theme: fractals, symmetries and flowing colour fields.
#include <complex>

#include "scenes.h"

namespace demo {

namespace {

void polar(double x, double y, double& r, double& a) {
    double dx = x - 2.0 / 3.0, dy = y - 0.5;
    r = std::hypot(dx, dy) * 2;
    a = std::atan2(dy, dx);
}

// Smooth (fractional) escape count of z -> z^2 + c; negative when the point never escapes.
double escape(std::complex<double> z, std::complex<double> c, int limit) {
    for (int n = 0; n < limit; ++n) {
        z = z * z + c;
        double m = std::norm(z);
        if (m > 256) return n + 1 - std::log2(0.5 * std::log(m));
    }
    return -1;
}

}  // namespace

Rgb plasma(double x, double y) {
    x *= 2.4;
    y *= 2.4;
    double v = std::sin(x * 5) + std::sin((y * 6 + x * 4) * 0.6) +
               std::sin(std::hypot(x * 4 - 5, y * 4 - 4) * 1.5) +
               std::sin(std::hypot(x * 3 + 2, y * 3 - 6) * 2.0);
    return cosine_palette(v * 0.22 + 0.5, {0.5, 0.5, 0.5}, {0.5, 0.5, 0.5}, {1.0, 1.0, 1.0},
                          {0.0, 0.33, 0.67});
}

Rgb mandala(double x, double y) {
    double r, a;
    polar(x, y, r, a);
    double petals = std::fabs(std::cos(a * 6));
    double rings = 0.5 + 0.5 * std::cos(r * 38 - 7 * std::pow(petals, 0.7));
    double inner = 0.5 + 0.5 * std::cos(a * 16 + r * 10);
    Rgb col = hsv(0.9 + r * 0.9 + 0.06 * inner, 0.55 + 0.4 * rings, 0.25 + 0.75 * rings);
    double outline = smoothstep(0.15, 0.0, std::fabs(std::sin(r * 19 - 3 * petals)));
    col = mix(col, hex(0xffe6a8), outline * 0.7);
    col = mix(col, hex(0xfff8e0), smoothstep(0.09, 0.05, r));
    return mix(hex(0x12062a), col, smoothstep(1.25, 0.95, r));
}

Rgb nebula(double x, double y) {
    double n1 = fbm(x * 2.4, y * 2.4, 6, 71);
    double n2 = fbm(x * 3.5 + n1 * 2.5, y * 3.5 - n1 * 1.8, 6, 72);
    Rgb c = mix(hex(0x05031a), hex(0x4a1a7a), std::pow(n2, 1.6) * 1.4);
    c = mix(c, hex(0xff5f9e), smoothstep(0.55, 0.82, n2) * 0.9);
    c = c + hex(0x3c8cff) * (0.5 * smoothstep(0.58, 0.85, n1));
    c = c + hex(0xfff0e8) * (0.6 * glow(x - 0.85, y - 0.45, 0.12));
    return c + Rgb{1, 1, 1} * stars(x, y, 0.12, 73);
}

Rgb kaleidoscope(double x, double y) {
    double r, a;
    polar(x, y, r, a);
    const double wedge = 2 * kPi / 8;
    a = std::fabs(std::fmod(a + 4 * kPi, wedge) - wedge / 2);
    double px = r * std::cos(a), py = r * std::sin(a);
    double n = fbm(px * 3 + 1, py * 3 + 2, 5, 131);
    double m = fbm(px * 6 + n * 2, py * 6 - n, 4, 132);
    Rgb col = hsv(0.55 + n * 1.6 + r * 0.3, 0.75, 0.35 + 0.65 * smoothstep(0.3, 0.7, m));
    double line = smoothstep(0.04, 0.0, std::fabs(std::sin(m * 25)));
    col = mix(col, hex(0x140a22), line * 0.8);
    return col * smoothstep(1.35, 0.9, r);
}

Rgb julia(double x, double y) {
    std::complex<double> z((x - 2.0 / 3.0) * 2.3, (y - 0.5) * 2.3);
    double mu = escape(z, {-0.8, 0.156}, 400);
    if (mu < 0) return hex(0x0a0b2a);
    return cosine_palette(std::sqrt(mu) * 0.28, {0.5, 0.5, 0.5}, {0.5, 0.5, 0.5}, {1.0, 1.0, 1.0},
                          {0.0, 0.10, 0.20});
}

Rgb mandelbrot(double x, double y) {
    std::complex<double> c(-0.74364 + (x - 2.0 / 3.0) * 0.011, 0.13182 + (y - 0.5) * 0.011);
    double mu = escape({0, 0}, c, 1200);
    if (mu < 0) return hex(0x000000);
    static const Rgb fire[] = {hex(0x000010), hex(0x3a0a4a), hex(0xb8206a),
                               hex(0xff7a2a), hex(0xffe27a), hex(0xffffff)};
    return ramp(fire, 0.5 + 0.5 * std::sin(std::sqrt(mu) * 0.9));
}

Rgb stained_glass(double x, double y) {
    double best = 9, second = 9;
    int64_t owner = 0;
    auto gx = static_cast<int64_t>(std::floor(x * 5)), gy = static_cast<int64_t>(std::floor(y * 5));
    for (int64_t i = gx - 1; i <= gx + 1; ++i) {
        for (int64_t j = gy - 1; j <= gy + 1; ++j) {
            double px = (i + hash2(i, j, 91)) / 5, py = (j + hash2(i, j, 92)) / 5;
            double d = std::hypot(x - px, y - py);
            if (d < best) {
                second = best;
                best = d;
                owner = i * 1000 + j;
            } else if (d < second) {
                second = d;
            }
        }
    }
    static const uint32_t jewels[] = {0xc8243c, 0x1f5fbf, 0x2a9d5c, 0xf2b632,
                                      0x7b3fb0, 0x16a3b8, 0xe3642b, 0x9bcf3a};
    Rgb col = hex(jewels[static_cast<int>(hash2(owner, 1, 93) * 8)]);
    col = col * (0.75 + 0.45 * (1 - best * 4) + 0.15 * fbm(x * 30, y * 30, 3, 94));
    col = col + hex(0xfff4d0) * (0.35 * glow(x - 0.3, y - 0.2, 0.7));
    return mix(hex(0x1a1614), col, smoothstep(0.006, 0.011, second - best));
}

Rgb ripples(double x, double y) {
    auto height = [](double px, double py) {
        const double cx[] = {0.35, 0.95, 0.7}, cy[] = {0.35, 0.3, 0.8};
        double h = 0;
        for (int i = 0; i < 3; ++i) {
            double d = std::hypot(px - cx[i], py - cy[i]);
            h += std::sin(d * 70 - i) * std::exp(-d * 3.2);
        }
        return h;
    };
    double h = height(x, y);
    double dx = height(x + 0.001, y) - h, dy = height(x, y + 0.001) - h;
    double light = clamp01(0.5 - (dx + dy) * 9);
    Rgb base = mix(hex(0x03405c), hex(0x1fa8c4), 0.5 + 0.25 * h);
    base = mix(base, hex(0x9ff3ff), std::pow(light, 3) * 0.8);
    return base + hex(0xffffff) * std::pow(light, 12);
}

Rgb spiral(double x, double y) {
    double r, a;
    polar(x, y, r, a);
    double lr = std::log(r + 1e-4);
    double s = a / (2 * kPi) * 5 + lr * 2.6;
    double bands = 0.5 + 0.5 * std::cos(s * 2 * kPi);
    Rgb col = hsv(a / (2 * kPi) + lr * 0.25, 0.85, 0.25 + 0.75 * std::pow(bands, 0.8));
    col = col + Rgb{1, 0.95, 0.85} * glow(x - 2.0 / 3.0, y - 0.5, 0.07);
    return col * smoothstep(1.5, 0.8, r);
}

Rgb lava_lamp(double x, double y) {
    double field = 0;
    for (int i = 0; i < 8; ++i) {
        double bx = 0.15 + 1.05 * hash2(i, 0, 111), by = 0.1 + 0.8 * hash2(i, 1, 111);
        double br = 0.06 + 0.08 * hash2(i, 2, 111);
        double dx = x - bx, dy = (y - by) * 0.8;
        field += br * br / (dx * dx + dy * dy + 1e-6);
    }
    Rgb back = mix(hex(0x2b0a45), hex(0x5e1559), y);
    back = back + hex(0xff6a2a) * (0.35 * smoothstep(0.3, 1.0, field));
    if (field < 1) return back;
    double depth = smoothstep(1.0, 3.5, field);
    Rgb blob = mix(hex(0xe8352a), hex(0xffd24a), depth);
    return mix(hex(0x9a1d2a), blob, smoothstep(1.0, 1.15, field));
}

Rgb agate(double x, double y) {
    double warp = fbm(x * 2.2, y * 2.2, 6, 121);
    double d = std::hypot(x - 0.6, (y - 0.55) * 1.2) + 0.35 * warp;
    double band = 0.5 + 0.5 * std::sin(d * 55);
    static const Rgb stone[] = {hex(0x0f2d4a), hex(0x1f6b8f), hex(0x7fc4d8), hex(0xe8f4f6)};
    Rgb col = ramp(stone, band * 0.85 + 0.15 * fbm(x * 12, y * 12, 3, 122));
    col = mix(col, hex(0xc27a4a), 0.25 * smoothstep(0.55, 0.75, fbm(x * 3, y * 3, 4, 123)));
    return col * (0.85 + 0.25 * glow(x - 0.4, y - 0.3, 0.6));
}

}  // namespace demo
