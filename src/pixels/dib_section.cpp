#include "pixels/dib_section.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <new>

#include "ground/rounding.h"
#include "ground/desktop.h"
#include "ground/random_source.h"

namespace vistaloom {

namespace {

// Row length for a width, or -1 when width x 3 + 3 leaves the 32-bit range.
int64_t scan_line_bytes(int64_t width) {
    const int64_t raw = width * 3 + 3;
    if (width < 0 || raw > INT32_MAX) return -1;
    return raw & ~int64_t{3};
}

struct Span {
    int64_t dx = 0, dy = 0, sx = 0, sy = 0, w = 0, h = 0;
    bool empty() const { return w <= 0 || h <= 0; }
};

// Clips a w x h copy from (sx, sy) of a source to (dx, dy) of a target on all four sides of
// both. 64-bit so that no coordinate a caller passes can overflow.
Span clip_copy(int64_t target_w, int64_t target_h, int64_t dx, int64_t dy, int64_t source_w,
               int64_t source_h, int64_t sx, int64_t sy, int64_t w, int64_t h) {
    Span s{dx, dy, sx, sy, w, h};
    if (s.empty()) return {};
    const int64_t cut_x = std::max<int64_t>({0, -s.dx, -s.sx});
    const int64_t cut_y = std::max<int64_t>({0, -s.dy, -s.sy});
    s.dx += cut_x, s.sx += cut_x, s.w -= cut_x;
    s.dy += cut_y, s.sy += cut_y, s.h -= cut_y;
    s.w = std::min({s.w, target_w - s.dx, source_w - s.sx});
    s.h = std::min({s.h, target_h - s.dy, source_h - s.sy});
    return s.empty() ? Span{} : s;
}

}  // namespace

int32_t cDIBSection::BytesPerScanLine() const {
    const int64_t bytes = scan_line_bytes(bi_width_);
    return bytes < 0 ? 0 : static_cast<int32_t>(bytes);
}

bool cDIBSection::Create(int32_t lWidth, int32_t lHeight) {
    ClearUp();
    memory_dc_ = reinterpret_cast<Handle>(this);
    if (CreateDIB(memory_dc_, lWidth, lHeight, dib_handle_)) return true;
    memory_dc_ = 0;
    return false;
}

bool cDIBSection::CreateDIB(Handle /*lhDC*/, int32_t lWidth, int32_t lHeight, Handle& hDib) {
    hDib = 0;
    memory_.clear();
    memory_.shrink_to_fit();
    bits_pointer_ = nullptr;
    // A refused size leaves no size behind: callers size their own surfaces from width()
    // and height(), and must not be led into allocating what was refused here.
    bi_width_ = bi_height_ = bi_size_image_ = 0;
    const int64_t row = scan_line_bytes(lWidth);
    if (lWidth <= 0 || lHeight <= 0 || row < 0) return false;
    const int64_t total = row * lHeight;
    if (total > kMaxPixelBytes) return false;
    try {
        memory_.assign(static_cast<size_t>(total), 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    bi_width_ = lWidth;
    bi_height_ = lHeight;
    bi_size_image_ = static_cast<int32_t>(total);
    bits_pointer_ = memory_.data();
    hDib = reinterpret_cast<Handle>(bits_pointer_);
    return true;
}

void cDIBSection::ClearUp() {
    // The size stays readable after the release, as the bitmap header does.
    memory_.clear();
    memory_.shrink_to_fit();
    memory_dc_ = 0;
    dib_handle_ = 0;
    bits_pointer_ = nullptr;
}

void cDIBSection::LoadPictureBlt(const Surface& source, int32_t lSrcLeft, int32_t lSrcTop,
                                 int32_t lSrcWidth, int32_t lSrcHeight, uint32_t eRop) {
    if (!bits_pointer_ || eRop != SRCCOPY) return;
    const int64_t w = lSrcWidth < 0 ? bi_width_ : lSrcWidth;
    const int64_t h = lSrcHeight < 0 ? bi_height_ : lSrcHeight;
    const Span s = clip_copy(bi_width_, bi_height_, 0, 0, source.width, source.height, lSrcLeft,
                             lSrcTop, w, h);
    if (s.empty()) return;
    const int64_t pitch = BytesPerScanLine();
    for (int64_t r = 0; r < s.h; ++r) {
        const uint32_t* from = source.row(static_cast<int32_t>(s.sy + r)) + s.sx;
        uint8_t* to = bits_pointer_ + (bi_height_ - 1 - (s.dy + r)) * pitch + s.dx * 3;
        for (int64_t x = 0; x < s.w; ++x, to += 3) {
            const uint32_t p = from[x];
            to[0] = static_cast<uint8_t>(p);
            to[1] = static_cast<uint8_t>(p >> 8);
            to[2] = static_cast<uint8_t>(p >> 16);
        }
    }
}

void cDIBSection::LoadPictureBlt(const cDIBSection& source, int32_t lSrcLeft, int32_t lSrcTop,
                                 int32_t lSrcWidth, int32_t lSrcHeight, uint32_t eRop) {
    if (!bits_pointer_ || !source.bits_pointer_ || eRop != SRCCOPY) return;
    const int64_t w = lSrcWidth < 0 ? bi_width_ : lSrcWidth;
    const int64_t h = lSrcHeight < 0 ? bi_height_ : lSrcHeight;
    const Span s = clip_copy(bi_width_, bi_height_, 0, 0, source.bi_width_, source.bi_height_,
                             lSrcLeft, lSrcTop, w, h);
    if (s.empty()) return;
    const int64_t pitch = BytesPerScanLine();
    const int64_t source_pitch = source.BytesPerScanLine();
    for (int64_t r = 0; r < s.h; ++r) {
        const uint8_t* from =
            source.bits_pointer_ + (source.bi_height_ - 1 - (s.sy + r)) * source_pitch + s.sx * 3;
        uint8_t* to = bits_pointer_ + (bi_height_ - 1 - (s.dy + r)) * pitch + s.dx * 3;
        std::memmove(to, from, static_cast<size_t>(s.w * 3));
    }
}

void cDIBSection::PaintPicture(Surface& target, int32_t lDestLeft, int32_t lDestTop,
                               int32_t lDestWidth, int32_t lDestHeight, int32_t lSrcLeft,
                               int32_t lSrcTop, uint32_t eRop) const {
    if (!bits_pointer_ || eRop != SRCCOPY) return;
    const int64_t w = lDestWidth < 0 ? bi_width_ : lDestWidth;
    const int64_t h = lDestHeight < 0 ? bi_height_ : lDestHeight;
    const Span s = clip_copy(target.width, target.height, lDestLeft, lDestTop, bi_width_,
                             bi_height_, lSrcLeft, lSrcTop, w, h);
    if (s.empty()) return;
    const int64_t pitch = BytesPerScanLine();
    for (int64_t r = 0; r < s.h; ++r) {
        const uint8_t* from = bits_pointer_ + (bi_height_ - 1 - (s.sy + r)) * pitch + s.sx * 3;
        uint32_t* to = target.row(static_cast<int32_t>(s.dy + r)) + s.dx;
        for (int64_t x = 0; x < s.w; ++x, from += 3) {
            to[x] = uint32_t{from[0]} | (uint32_t{from[1]} << 8) | (uint32_t{from[2]} << 16);
        }
    }
}

bool cDIBSection::CopyToClipboard(bool bAsDIB, Desktop& desktop, const MessageSink& message) const {
    if (bAsDIB) {
        if (message)
            message("I don't know how to put a DIB on the clipboard! Copy as bitmap instead!!!");
        return false;
    }
    if (bi_width_ <= 0 || bi_height_ <= 0) return false;
    try {
        Surface picture(bi_width_, bi_height_);
        PaintPicture(picture, 0, 0, -1, -1, 0, 0, SRCCOPY);
        return desktop.copy_to_clipboard(picture);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

void cDIBSection::RandomiseBits(bool bGray, RandomSource& random) {
    random.reseed_from_clock();
    if (!bits_pointer_) return;
    const int64_t pitch = BytesPerScanLine();
    const int64_t last = (int64_t{bi_width_} - 1) * 3;
    const auto draw = [&random] {
        return static_cast<uint8_t>(round_half_even(random.next() * 255));
    };
    if (bGray) {
        for (int64_t y = 0; y < bi_height_; ++y) {
            uint8_t* row = bits_pointer_ + y * pitch;
            for (int64_t x = 0; x <= last; x += 3) {
                const uint8_t v = draw();
                row[x] = row[x + 1] = row[x + 2] = v;
            }
        }
    } else {
        for (int64_t x = 0; x <= last; x += 3) {
            for (int64_t y = 0; y < bi_height_; ++y) {
                uint8_t* pixel = bits_pointer_ + y * pitch + x;
                pixel[0] = 0;
                pixel[1] = draw();
                pixel[2] = draw();
            }
        }
    }
}

std::unique_ptr<cDIBSection> cDIBSection::Resample(int32_t lNewHeight, int32_t lNewWidth) const {
    auto resized = std::make_unique<cDIBSection>();
    if (!resized->Create(lNewWidth, lNewHeight)) return nullptr;
    if (lNewWidth == bi_width_ && lNewHeight == bi_height_) {
        resized->LoadPictureBlt(*this, 0, 0, -1, -1, SRCCOPY);
        return resized;
    }
    // Bilinear sampling needs a right and a lower neighbour for every source pixel it reads.
    if (!bits_pointer_ || bi_width_ < 2 || bi_height_ < 2) return nullptr;
    ResampleInto(*resized);
    return resized;
}

void cDIBSection::ResampleInto(cDIBSection& target) const {
    if (!bits_pointer_ || !target.bits_pointer_ || bi_width_ < 2 || bi_height_ < 2) return;
    const int32_t source_w = bi_width_, source_h = bi_height_;
    const int32_t w = target.bi_width_, h = target.bi_height_;
    const float x_scale = static_cast<float>(static_cast<double>(source_w - 1) / w);
    const float y_scale = static_cast<float>(static_cast<double>(source_h - 1) / h);
    const int64_t pitch = BytesPerScanLine();
    const int64_t target_pitch = target.BytesPerScanLine();

    // Single-precision rounding could in principle land a sample on the last row or column;
    // it then takes that row or column whole rather than reading past it.
    const auto split = [](float position, int32_t last_pair, int32_t& whole, float& fraction) {
        whole = static_cast<int32_t>(position);
        fraction = position - static_cast<float>(whole);
        if (whole > last_pair) {
            whole = last_pair;
            fraction = 1.0f;
        }
    };

    for (int32_t ty = 0; ty < h; ++ty) {
        const float sy = y_scale * static_cast<float>(ty);
        int32_t iy = 0;
        float fy = 0;
        split(sy, source_h - 2, iy, fy);
        const uint8_t* upper_row = bits_pointer_ + iy * pitch;
        const uint8_t* lower_row = upper_row + pitch;
        uint8_t* out = target.bits_pointer_ + ty * target_pitch;
        for (int32_t tx = 0; tx < w; ++tx) {
            const float sx = x_scale * static_cast<float>(tx);
            int32_t ix = 0;
            float fx = 0;
            split(sx, source_w - 2, ix, fx);
            double v[6];
            for (int c = 0; c < 6; ++c) {
                const float upper = upper_row[ix * 3 + c];
                const float lower = lower_row[ix * 3 + c];
                const float blended = (1.0f - fy) * upper + fy * lower;
                v[c] = static_cast<double>(round_half_even(blended));
            }
            const double weight = static_cast<double>(fx);
            for (int c = 0; c < 3; ++c) {
                const int64_t value = round_half_even((1.0 - weight) * v[c] + weight * v[c + 3]);
                out[tx * 3 + c] = static_cast<uint8_t>(std::clamp<int64_t>(value, 0, 255));
            }
        }
    }
}

}  // namespace vistaloom
