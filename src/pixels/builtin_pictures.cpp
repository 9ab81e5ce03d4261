#include "pixels/builtin_pictures.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "pixels/pixel_font.h"
#include "ground/rounding.h"

namespace vistaloom {

namespace {

struct Rgb {
    double r = 0;
    double g = 0;
    double b = 0;
};

uint32_t channel(double v) {
    return static_cast<uint32_t>(std::clamp(round_to_int(v), 0, 255));
}

uint32_t to_pixel(Rgb c) {
    return (channel(c.r) << 16) | (channel(c.g) << 8) | channel(c.b);
}

Rgb mix(Rgb a, Rgb b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb shade(Rgb c, double delta) {
    return {c.r + delta, c.g + delta, c.b + delta};
}

// Deterministic value noise in [-0.5, 0.5): the same picture on every run and machine.
double noise(int32_t x, int32_t y, uint32_t seed) {
    uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u +
                 seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return static_cast<double>(h & 0xFFFFu) / 65536.0 - 0.5;
}

void draw_shadowed_text(Surface& target, int32_t y, const char* text, uint32_t pixel,
                        uint32_t shadow, int32_t scale) {
    const int32_t x = (target.width - text_width(text, scale)) / 2;
    draw_text(target, x + 1, y + 1, text, shadow, scale);
    draw_text(target, x, y, text, pixel, scale);
}

}  // namespace

Surface make_no_mods_picture() {
    constexpr uint32_t kWhite = 0xFFFFFF;
    constexpr uint32_t kRed = 0xFF2828;
    constexpr uint32_t kGreen = 0x40E040;
    Surface picture(320, 240, 0);

    // Five blocks, centred as a whole: title (2 lines), the message, the request (3 lines).
    constexpr int32_t kTitle = 3 * kGlyphCapHeight;
    constexpr int32_t kLine2 = 2 * kGlyphCapHeight;
    constexpr int32_t kSmallLine = kGlyphCellHeight + 3;
    constexpr int32_t kTotal = kTitle + 6 + kLine2 + 26 + kLine2 + 24 + 3 * kSmallLine;
    int32_t y = (picture.height - kTotal) / 2;

    draw_text_centred(picture, y, "Vistaloom", kWhite, 3);
    y += kTitle + 6;
    draw_text_centred(picture, y, "Screen Saver", kWhite, 2);
    y += kLine2 + 26;
    draw_text_centred(picture, y, "No Themes Found!", kRed, 2);
    y += kLine2 + 24;
    draw_text_centred(picture, y, "Please click the", kGreen, 1);
    y += kSmallLine;
    draw_text_centred(picture, y, "\"Get More Themes\"", kGreen, 1);
    y += kSmallLine;
    draw_text_centred(picture, y, "button on the configuration screen.", kGreen, 1);
    return picture;
}

Surface make_border_picture() {
    constexpr int32_t kSize = 80;
    constexpr int32_t kLightWidth = 8;  // grey top and left edge
    constexpr int32_t kDarkWidth = 4;   // near-black bottom and right edge
    const Rgb face{70, 26, 86};
    const Rgb grey{150, 148, 154};
    const Rgb dark_outer{6, 4, 8};
    const Rgb dark_inner{30, 20, 36};
    Surface picture(kSize, kSize, 0);

    for (int32_t y = 0; y < kSize; ++y) {
        for (int32_t x = 0; x < kSize; ++x) {
            // A grain of two sizes so the face reads as a texture, not as noise.
            const double grain = 18 * noise(x, y, 1) + 14 * noise(x / 3, y / 3, 2);
            const Rgb textured = shade(face, grain);
            const int32_t light_d = std::min(x, y);
            const int32_t dark_d = std::min(kSize - 1 - x, kSize - 1 - y);
            // Where the two edges meet (top-right, bottom-left) the nearer edge wins, and the
            // diagonal settles a tie, which mitres the corners like a picture frame.
            const bool in_dark = dark_d < kDarkWidth &&
                                 (dark_d < light_d || (dark_d == light_d && x + y > kSize - 1));
            Rgb c;
            if (in_dark) {
                c = mix(dark_outer, dark_inner, static_cast<double>(dark_d) / kDarkWidth);
                c = shade(c, 4 * noise(x, y, 3));
            } else if (light_d < kLightWidth) {
                const double t = static_cast<double>(light_d) / kLightWidth;
                c = mix(shade(grey, 8 * noise(x, y, 4)), textured, t * t);
            } else {
                c = textured;
            }
            picture.at(x, y) = to_pixel(c);
        }
    }
    return picture;
}

Surface make_preview_sample() {
    constexpr int32_t kW = 150;
    constexpr int32_t kH = 112;
    Surface picture(kW, kH, 0);
    const Rgb sky_top{14, 18, 62};
    const Rgb sky_low{170, 70, 120};
    const Rgb sun{255, 196, 92};
    const Rgb far_hill{70, 36, 96};
    const Rgb near_hill{28, 16, 44};
    constexpr double kSunX = 104;
    constexpr double kSunY = 74;
    constexpr double kSunR = 17;

    for (int32_t y = 0; y < kH; ++y) {
        for (int32_t x = 0; x < kW; ++x) {
            Rgb c = mix(sky_top, sky_low, std::min(1.0, y / 86.0));
            if (y < 60 && noise(x, y, 7) > 0.493) c = mix(c, Rgb{255, 255, 240}, 0.8);
            const double d = std::hypot(x - kSunX, y - kSunY);
            if (d < kSunR) {
                c = sun;
            } else if (d < kSunR + 10) {  // soft glow round the sun
                c = mix(c, sun, 0.45 * (1 - (d - kSunR) / 10));
            }
            const double far_top = 80 + 7 * std::sin(x * 0.045 + 1.0) + 3 * std::sin(x * 0.13);
            const double near_top = 92 + 6 * std::sin(x * 0.06 + 3.0) + 2 * std::sin(x * 0.21);
            if (y >= near_top) {
                c = shade(near_hill, 6 * noise(x, y, 8));
            } else if (y >= far_top) {
                c = mix(far_hill, near_hill, (y - far_top) / 30.0);
            }
            picture.at(x, y) = to_pixel(c);
        }
    }
    draw_shadowed_text(picture, 14, "Vistaloom", 0xFFFFFF, 0x1A0A30, 2);
    return picture;
}

}  // namespace vistaloom
