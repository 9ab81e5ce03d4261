#include "pixels/surface.h"

#include <algorithm>
#include <cstring>

namespace vistaloom {

PixelBuffer& PixelBuffer::operator=(const PixelBuffer& other) {
    if (this == &other) return *this;
    own_.assign(other.begin(), other.end());
    sync();
    return *this;
}

PixelBuffer& PixelBuffer::operator=(PixelBuffer&& other) noexcept {
    if (this == &other) return *this;
    own_ = std::move(other.own_);
    store_ = other.store_;
    data_ = other.external_ ? other.data_ : own_.data();
    size_ = other.external_ ? other.size_ : own_.size();
    external_ = other.external_;
    other.own_.clear();
    other.sync();
    return *this;
}

void PixelBuffer::assign(size_t count, uint32_t value) {
    uint32_t* block = store_ && count > 0 ? store_->provide_pixels(count) : nullptr;
    if (block == nullptr) {
        own_.assign(count, value);
        sync();
        return;
    }
    // The store's block replaces our own memory, which is given back at once: at full-screen
    // sizes holding both would double the surface's share of the process.
    std::vector<uint32_t>().swap(own_);
    data_ = block;
    size_ = count;
    external_ = true;
    std::fill(data_, data_ + size_, value);
}

bool PixelBuffer::operator==(const PixelBuffer& other) const {
    return size_ == other.size_ && std::equal(begin(), end(), other.begin());
}

void Surface::resize(int32_t w, int32_t h, uint32_t fill_pixel) {
    width = std::max(w, 0);
    height = std::max(h, 0);
    stride = width;
    pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), fill_pixel);
}

void Surface::fill(uint32_t pixel) {
    std::fill(pixels.begin(), pixels.end(), pixel);
}

ClippedCopy clip_copy(const Surface& target, int32_t dx, int32_t dy, const Surface& source,
                      int32_t sx, int32_t sy, int32_t w, int32_t h) {
    // 64-bit arithmetic so that no coordinate a caller passes can overflow the clipping.
    int64_t x0 = dx, y0 = dy, s0 = sx, t0 = sy, cw = w, ch = h;
    if (cw <= 0 || ch <= 0) return {};
    auto clip_low = [](int64_t& d, int64_t& s, int64_t& len) {
        int64_t cut = std::max<int64_t>({0, -d, -s});
        d += cut;
        s += cut;
        len -= cut;
    };
    clip_low(x0, s0, cw);
    clip_low(y0, t0, ch);
    cw = std::min({cw, int64_t{target.width} - x0, int64_t{source.width} - s0});
    ch = std::min({ch, int64_t{target.height} - y0, int64_t{source.height} - t0});
    if (cw <= 0 || ch <= 0) return {};
    return {{static_cast<int32_t>(x0), static_cast<int32_t>(y0), static_cast<int32_t>(cw),
             static_cast<int32_t>(ch)},
            static_cast<int32_t>(s0),
            static_cast<int32_t>(t0)};
}

Rect blit(Surface& target, int32_t dx, int32_t dy, const Surface& source, int32_t sx, int32_t sy,
          int32_t w, int32_t h) {
    const ClippedCopy c = clip_copy(target, dx, dy, source, sx, sy, w, h);
    if (c.target.w <= 0 || c.target.h <= 0) return {};
    const size_t bytes = static_cast<size_t>(c.target.w) * sizeof(uint32_t);
    for (int32_t r = 0; r < c.target.h; ++r) {
        std::memmove(target.row(c.target.y + r) + c.target.x, source.row(c.src_y + r) + c.src_x,
                     bytes);
    }
    return c.target;
}

}  // namespace vistaloom
