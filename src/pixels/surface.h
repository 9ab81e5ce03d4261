#pragma once
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace vistaloom {

// Memory for a surface's pixels that someone else owns: shared memory the display server
// reads straight from, so presenting a rectangle costs no copy on our side. The store keeps
// the memory alive until it is asked for another block or goes away itself.
class PixelStore {
  public:
    virtual ~PixelStore() = default;
    // `count` pixels, or nullptr when the store cannot provide them (the surface then keeps
    // its pixels in ordinary memory). A new request may invalidate the previous block.
    virtual uint32_t* provide_pixels(size_t count) = 0;
};

// The pixels of a surface: its own memory, or a block of a PixelStore. Behaves like the
// vector it replaces for every reader; a copy always owns its pixels.
class PixelBuffer {
  public:
    using value_type = uint32_t;
    using iterator = uint32_t*;
    using const_iterator = const uint32_t*;

    PixelBuffer() = default;
    PixelBuffer(const PixelBuffer& other) : own_(other.begin(), other.end()) { sync(); }
    PixelBuffer& operator=(const PixelBuffer& other);
    PixelBuffer(PixelBuffer&& other) noexcept { *this = std::move(other); }
    PixelBuffer& operator=(PixelBuffer&& other) noexcept;

    // Later assign() calls take their memory from `store` (nullptr: own memory again).
    void use_store(PixelStore* store) { store_ = store; }
    bool in_store() const { return external_; }
    // The store moved the pixels to `block` (the same count, already holding them): a store
    // that keeps several copies, such as buffers a display server reads in turn.
    void moved_to(uint32_t* block) {
        if (external_) data_ = block;
    }
    void assign(size_t count, uint32_t value);

    uint32_t* data() { return data_; }
    const uint32_t* data() const { return data_; }
    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    uint32_t* begin() { return data_; }
    uint32_t* end() { return data_ + size_; }
    const uint32_t* begin() const { return data_; }
    const uint32_t* end() const { return data_ + size_; }
    uint32_t& operator[](size_t i) { return data_[i]; }
    const uint32_t& operator[](size_t i) const { return data_[i]; }
    bool operator==(const PixelBuffer& other) const;

  private:
    void sync() {
        data_ = own_.data();
        size_ = own_.size();
        external_ = false;
    }

    std::vector<uint32_t> own_;
    PixelStore* store_ = nullptr;
    uint32_t* data_ = nullptr;
    size_t size_ = 0;
    bool external_ = false;
};

// A picture surface: 32-bit XRGB pixels (0x00RRGGBB, the layout of QImage::Format_RGB32),
// rows top-down, `stride` pixels per row. The UI shows a surface by wrapping its memory.
struct Surface {
    int32_t width = 0;
    int32_t height = 0;
    int32_t stride = 0;  // in pixels
    PixelBuffer pixels;

    Surface() = default;
    Surface(int32_t w, int32_t h, uint32_t fill = 0) { resize(w, h, fill); }

    // Negative sizes count as 0. Contents are replaced by `fill`.
    void resize(int32_t w, int32_t h, uint32_t fill = 0);
    void fill(uint32_t pixel);
    bool empty() const { return width <= 0 || height <= 0; }

    uint32_t* row(int32_t y) { return pixels.data() + static_cast<size_t>(y) * stride; }
    const uint32_t* row(int32_t y) const { return pixels.data() + static_cast<size_t>(y) * stride; }
    uint32_t at(int32_t x, int32_t y) const { return row(y)[x]; }
    uint32_t& at(int32_t x, int32_t y) { return row(y)[x]; }
};

struct Rect {
    int32_t x = 0;
    int32_t y = 0;
    int32_t w = 0;
    int32_t h = 0;
    bool operator==(const Rect&) const = default;
};

// The part of a w x h copy from (sx, sy) of `source` to (dx, dy) of `target` that lies inside
// both surfaces: the target rectangle (w or h 0 when nothing is left) and the matching source
// origin. blit() copies exactly this; callers that only count copied bytes use it directly.
struct ClippedCopy {
    Rect target;
    int32_t src_x = 0;
    int32_t src_y = 0;
};
ClippedCopy clip_copy(const Surface& target, int32_t dx, int32_t dy, const Surface& source,
                      int32_t sx, int32_t sy, int32_t w, int32_t h);

// Plain rectangle copy (the only raster operation the saver uses), clipped against both the
// source and the target on all four sides. Returns the target rectangle actually written
// (w or h 0 when nothing was). Source and target may be the same surface only when the
// rectangles do not overlap.
Rect blit(Surface& target, int32_t dx, int32_t dy, const Surface& source, int32_t sx, int32_t sy,
          int32_t w, int32_t h);

// A colour value (0x00BBGGRR, red in the low byte) from its three components.
constexpr uint32_t rgb_color(uint32_t r, uint32_t g, uint32_t b) {
    return r | (g << 8) | (b << 16);
}

// Colours in the rules are 0x00BBGGRR (red in the low byte); pixels are 0x00RRGGBB.
// This is the only place that converts between the two.
constexpr uint32_t pixel_from_color(uint32_t color) {
    return ((color & 0xFFu) << 16) | (color & 0xFF00u) | ((color >> 16) & 0xFFu);
}
constexpr uint32_t color_from_pixel(uint32_t pixel) {
    return ((pixel & 0xFFu) << 16) | (pixel & 0xFF00u) | ((pixel >> 16) & 0xFFu);
}

}  // namespace vistaloom
