#include "platform/wayland_shm_buffers.h"

#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

namespace vistaloom {

void WaylandShmBuffers::on_release(void* self, wl_buffer* buffer) {
    auto& buffers = *static_cast<WaylandShmBuffers*>(self);
    for (int i = 0; i < buffers.count(); ++i) {
        if (buffers.at(i).buffer != buffer) continue;
        buffers.at(i).busy = false;
        if (buffers.released_) buffers.released_(i);
        return;
    }
}

bool WaylandShmBuffers::make(wl_shm* shm, QSize size, int count) {
    if (!buffers_.empty() && size == size_ && count == this->count()) return true;
    drop();
    if (size.isEmpty() || count < 1) return false;
    static const wl_buffer_listener listener{&WaylandShmBuffers::on_release};
    const size_t stride = static_cast<size_t>(size.width()) * 4;
    const size_t one = stride * static_cast<size_t>(size.height());
    fd_ = memfd_create("vistaloom-frames", MFD_CLOEXEC);
    if (fd_ < 0) return false;
    map_bytes_ = one * static_cast<size_t>(count);
    if (ftruncate(fd_, static_cast<off_t>(map_bytes_)) != 0) {
        drop();
        return false;
    }
    map_ = mmap(nullptr, map_bytes_, PROT_READ | PROT_WRITE, MAP_SHARED, fd_, 0);
    if (map_ == MAP_FAILED) {
        map_ = nullptr;
        drop();
        return false;
    }
    pool_ = wl_shm_create_pool(shm, fd_, static_cast<int32_t>(map_bytes_));
    size_ = size;
    buffers_.resize(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        Buffer& b = at(i);
        b.buffer = wl_shm_pool_create_buffer(pool_, static_cast<int32_t>(one * i), size.width(),
                                             size.height(), static_cast<int32_t>(stride),
                                             WL_SHM_FORMAT_XRGB8888);
        wl_buffer_add_listener(b.buffer, &listener, this);
        b.pixels = reinterpret_cast<uint32_t*>(static_cast<char*>(map_) + one * i);
    }
    return true;
}

void WaylandShmBuffers::drop() {
    for (Buffer& b : buffers_)
        if (b.buffer) wl_buffer_destroy(b.buffer);
    buffers_.clear();
    if (pool_) wl_shm_pool_destroy(pool_);
    pool_ = nullptr;
    if (map_) munmap(map_, map_bytes_);
    map_ = nullptr;
    map_bytes_ = 0;
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
    size_ = QSize();
}

int WaylandShmBuffers::free_index() const {
    for (size_t i = 0; i < buffers_.size(); ++i)
        if (!buffers_[i].busy) return static_cast<int>(i);
    return -1;
}

}  // namespace vistaloom
