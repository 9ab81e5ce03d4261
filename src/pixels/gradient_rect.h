#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "pixels/surface.h"

namespace vistaloom {

class Desktop;

// Two-colour linear gradient at any angle, painted as parallel one-pixel lines (each in its
// own colour, one pixel apart) swept from just outside one edge of the surface to just
// outside the opposite edge. Colours are 0x00BBGGRR values; a negative value whose low 31
// bits are 0..24 stands for that system colour.
class clsGradient {
  public:
    struct PointF {
        float x = 0;
        float y = 0;
    };
    struct PointL {
        int32_t x = 0;
        int32_t y = 0;
        bool operator==(const PointL&) const = default;
    };

    // `desktop` answers system colour references; without one the classic scheme is used.
    explicit clsGradient(Desktop* desktop = nullptr);

    int32_t Color1() const { return color1_; }
    void Color1(int32_t lData) { color1_ = resolve_color(lData); }
    int32_t Color2() const { return color2_; }
    void Color2(int32_t lData) { color2_ = resolve_color(lData); }
    // Kept in [0, 360); the reduction is done in double precision.
    float Angle() const { return angle_; }
    void Angle(float fData);

    // Fills the whole surface. True when at least one line was drawn; a surface 1 pixel or
    // less wide or high is left alone. Never throws: a failure (running out of memory) gives
    // false and is kept in last_error().
    bool Draw(Surface& picObj);
    // Rows [top, top + band height) of what Draw gives a W x H surface, painted into `band`
    // (as wide as the surface): a large picture can be made a few rows at a time, in little
    // memory. The lines are those of the whole surface moved up by `top`, and a line moved by
    // whole pixels draws exactly the moved pixels, so the rows are the same.
    bool DrawRows(Surface& band, int32_t W, int32_t H, int32_t top);

    // lSteps colours from lColor1 to lColor2 (fewer than 2 count as 2). The divisor is lSteps,
    // so the inner entries stop short of lColor2 and the last entry is lColor2 itself.
    int32_t BlendColors(int32_t lColor1, int32_t lColor2, int32_t lSteps,
                        std::vector<int32_t>& laRetColors);

    // The drawing itself for a client area of W x H; returns the index of the first point not
    // drawn (twice the number of lines drawn). The lines and colours of the last call stay
    // available through last_points() and last_colors().
    int32_t PaintGradientLines(Surface& hDC, int32_t W, int32_t H, int32_t top = 0);
    const std::vector<PointL>& last_points() const { return points_; }
    const std::vector<int32_t>& last_colors() const { return colors_; }
    const std::string& last_error() const { return last_error_; }

    // Turns `point` about `centre` by `degrees` (single-precision results).
    static void RotatePoint(const PointF& centre, PointF& point, float degrees);
    // a / b, or 0 when b is 0.
    static double SafeDivide(double a, double b) { return b == 0 ? 0.0 : a / b; }

  private:
    int32_t resolve_color(int32_t value) const;

    Desktop* desktop_ = nullptr;
    int32_t color1_ = 16777168;
    int32_t color2_ = 4194304;
    float angle_ = 315.0f;
    std::vector<PointL> points_;
    std::vector<int32_t> colors_;
    std::string last_error_;
};

}  // namespace vistaloom
