#pragma once
#include <QSize>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

struct wl_buffer;
struct wl_shm;
struct wl_shm_pool;

namespace vistaloom {

// A few same-sized XRGB buffers in one memfd pool that the compositor reads straight from.
// A buffer is busy from its commit until the compositor releases it; only then may it be
// written again.
class WaylandShmBuffers {
  public:
    struct Buffer {
        wl_buffer* buffer = nullptr;
        uint32_t* pixels = nullptr;
        bool busy = false;
    };
    // `released` hears which buffer the compositor gave back.
    explicit WaylandShmBuffers(std::function<void(int)> released = {})
        : released_(std::move(released)) {}
    ~WaylandShmBuffers() { drop(); }
    WaylandShmBuffers(const WaylandShmBuffers&) = delete;
    WaylandShmBuffers& operator=(const WaylandShmBuffers&) = delete;

    // `count` buffers of `size` device pixels, made anew only when the size changed; false
    // when the memory cannot be had (nothing is left half made).
    bool make(wl_shm* shm, QSize size, int count);
    void drop();

    bool empty() const { return buffers_.empty(); }
    QSize size() const { return size_; }
    int count() const { return static_cast<int>(buffers_.size()); }
    Buffer& at(int i) { return buffers_[static_cast<size_t>(i)]; }
    const Buffer& at(int i) const { return buffers_[static_cast<size_t>(i)]; }
    // The first buffer the compositor is not holding, or -1.
    int free_index() const;
    // Marks it busy: call as it is committed.
    void committed(int i) { buffers_[static_cast<size_t>(i)].busy = true; }

  private:
    static void on_release(void* self, wl_buffer* buffer);

    std::function<void(int)> released_;
    std::vector<Buffer> buffers_;
    QSize size_;
    int fd_ = -1;
    void* map_ = nullptr;
    size_t map_bytes_ = 0;
    wl_shm_pool* pool_ = nullptr;
};

}  // namespace vistaloom
