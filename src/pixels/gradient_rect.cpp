#include "pixels/gradient_rect.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <new>

#include "pixels/system_colors.h"
#include "pixels/line_drawing.h"
#include "ground/rounding.h"
#include "ground/desktop.h"

namespace vistaloom {

clsGradient::clsGradient(Desktop* desktop) : desktop_(desktop) {}

int32_t clsGradient::resolve_color(int32_t value) const {
    if (value >= 0) return value;
    const int32_t index = value & 0x7FFFFFFF;
    if (index >= kSystemColorCount) return value;
    const uint32_t rgb = desktop_ ? desktop_->system_color(index) : classic_system_color(index);
    return static_cast<int32_t>(rgb & 0x00FFFFFFu);
}

void clsGradient::Angle(float fData) {
    // An angle that is not a number would make every line position meaningless; take 0.
    if (!std::isfinite(fData)) {
        angle_ = 0.0f;
        return;
    }
    const double value = fData;
    angle_ = static_cast<float>(value - std::floor(value / 360.0) * 360.0);
    // 359.99999 in double can round up to 360 in single, and for huge angles the double
    // reduction itself loses the remainder and can even go negative; either way keep the
    // stored angle inside [0, 360), which the sweep choice relies on.
    if (!(angle_ >= 0.0f && angle_ < 360.0f)) angle_ = 0.0f;
}

int32_t clsGradient::BlendColors(int32_t lColor1, int32_t lColor2, int32_t lSteps,
                                 std::vector<int32_t>& laRetColors) {
    if (lSteps < 2) lSteps = 2;
    const auto channel = [](int32_t color, int shift) {
        return static_cast<int32_t>((static_cast<uint32_t>(color) >> shift) & 0xFFu);
    };
    const int shifts[3] = {0, 8, 16};
    float step[3];
    for (int c = 0; c < 3; ++c) {
        const float difference =
            static_cast<float>(channel(lColor2, shifts[c]) - channel(lColor1, shifts[c]));
        step[c] = static_cast<float>(SafeDivide(difference, static_cast<float>(lSteps)));
    }
    laRetColors.assign(static_cast<size_t>(lSteps), 0);
    laRetColors.front() = lColor1;
    laRetColors.back() = lColor2;
    for (int32_t k = 1; k <= lSteps - 2; ++k) {
        int64_t value[3];
        for (int c = 0; c < 3; ++c) {
            const float offset = static_cast<float>(k) * step[c];
            value[c] = round_half_even(static_cast<double>(channel(lColor1, shifts[c])) +
                                       static_cast<double>(offset));
        }
        laRetColors[static_cast<size_t>(k)] =
            static_cast<int32_t>(value[0] + value[1] * 256 + value[2] * 65536);
    }
    return lSteps;
}

void clsGradient::RotatePoint(const PointF& centre, PointF& point, float degrees) {
    const float r = static_cast<float>(static_cast<double>(degrees) * 0.017453292519943278);
    const float dx = point.x - centre.x;
    const float dy = point.y - centre.y;
    const double cos_r = std::cos(static_cast<double>(r));
    const double sin_r = std::sin(static_cast<double>(r));
    point.x = static_cast<float>(centre.x + (dx * cos_r + dy * sin_r));
    point.y = static_cast<float>(centre.y - (dx * sin_r - dy * cos_r));
}

int32_t clsGradient::PaintGradientLines(Surface& hDC, int32_t W, int32_t H, int32_t top) {
    points_.clear();
    colors_.clear();

    const PointF centre{static_cast<float>(std::floor(W / 2.0)),
                        static_cast<float>(std::floor(H / 2.0))};
    const double side = W > H ? W : H;
    const float half_length = static_cast<float>((std::sqrt(side * side + side * side) + 2) / 2);
    PointF p0{centre.x - half_length, centre.y};
    PointF p1{centre.x + half_length, centre.y};

    const float angle90 = angle_ + 90.0f;
    const double turn = angle90 - std::floor(angle90 / 360.0) * 360.0;
    RotatePoint(centre, p0, static_cast<float>(turn));
    RotatePoint(centre, p1, static_cast<float>(turn));

    const float extent_x = std::fabs(p0.x - p1.x);
    const float extent_y = std::fabs(p0.y - p1.y);
    const bool steep = extent_y >= extent_x;

    // The offset puts the first line just outside the edge the sweep starts from.
    int32_t step_x = 0, step_y = 0;
    float offset_x = 0, offset_y = 0;
    const float width_f = static_cast<float>(W);
    const float height_f = static_cast<float>(H);
    if (angle_ >= 0 && angle_ <= 90) {
        if (steep) {
            step_x = 1;
            offset_x = -std::max(p0.x, p1.x);
        } else {
            step_y = -1;
            offset_y = height_f - std::min(p0.y, p1.y);
        }
    } else if (angle_ >= 90 && angle_ <= 180) {
        if (steep) {
            step_x = -1;
            offset_x = width_f - std::min(p0.x, p1.x);
        } else {
            step_y = -1;
            offset_y = height_f - std::min(p0.y, p1.y);
        }
    } else if (angle_ >= 180 && angle_ <= 270) {
        if (steep) {
            step_x = -1;
            offset_x = width_f - std::min(p0.x, p1.x);
        } else {
            step_y = 1;
            offset_y = -std::max(p0.y, p1.y);
        }
    } else {
        if (steep) {
            step_x = 1;
            offset_x = -std::max(p0.x, p1.x);
        } else {
            step_y = 1;
            offset_y = -std::max(p0.y, p1.y);
        }
    }

    try {
        points_.reserve(1000);
        points_.push_back({round_to_int(p0.x + offset_x), round_to_int(p0.y + offset_y)});
        points_.push_back({round_to_int(p1.x + offset_x), round_to_int(p1.y + offset_y)});
        const auto beyond = [&](const PointL& p) {
            if (step_x > 0) return p.x > W;
            if (step_x < 0) return p.x < 0;
            if (step_y > 0) return p.y > H;
            return p.y < 0;
        };
        // Every point moves one pixel towards the far edge per line, so the sweep ends after
        // about the surface's extent plus the base line's extent along the sweep axis.
        for (;;) {
            const PointL& from = points_[points_.size() - 2];
            points_.push_back({from.x + step_x, from.y + step_y});
            if (beyond(points_[points_.size() - 1]) && beyond(points_[points_.size() - 2])) break;
        }

        const int32_t count = static_cast<int32_t>(points_.size());
        BlendColors(color1_, color2_, static_cast<int32_t>(round_half_even(count / 2.0)), colors_);

        // Every line is the first one moved by a whole number of steps, so the family is
        // painted in one pass, with exactly the pixels of drawing the lines one by one.
        const int32_t lines = count / 2;
        std::vector<uint32_t> line_pixels(static_cast<size_t>(lines));
        for (int32_t k = 0; k < lines; ++k) {
            line_pixels[static_cast<size_t>(k)] =
                pixel_from_color(static_cast<uint32_t>(colors_[static_cast<size_t>(k)]));
        }
        draw_parallel_lines(hDC, points_[0].x, points_[0].y - top, points_[1].x,
                            points_[1].y - top, step_x, step_y, line_pixels.data(), lines);
        const int32_t j = lines * 2;
        return j;
    } catch (const std::exception& error) {
        // Nothing is shown to the user from here: the saver carries on with what was drawn.
        last_error_ = error.what();
        return 0;
    }
}

bool clsGradient::Draw(Surface& picObj) {
    last_error_.clear();
    if (picObj.width <= 1 || picObj.height <= 1) return false;
    return PaintGradientLines(picObj, picObj.width, picObj.height) > 0;
}

bool clsGradient::DrawRows(Surface& band, int32_t W, int32_t H, int32_t top) {
    last_error_.clear();
    if (W <= 1 || H <= 1 || band.width != W) return false;
    return PaintGradientLines(band, W, H, top) > 0;
}

}  // namespace vistaloom
