#pragma once
#include <cstddef>
#include <cstdint>

#include "pixels/surface.h"

namespace vistaloom {

// Memory for one full-screen surface in 2 MB pages where the kernel offers them. A 4K
// surface is 33 MB: in 4 KB pages that is eight thousand page faults when it is first
// written, and a sprite-sized copy touches a new page with every row; in large pages both
// almost vanish. Where large pages are not available this is ordinary memory.
class HugePageStore : public PixelStore {
  public:
    HugePageStore() = default;
    HugePageStore(const HugePageStore&) = delete;
    HugePageStore& operator=(const HugePageStore&) = delete;
    ~HugePageStore() override;

    uint32_t* provide_pixels(size_t count) override;

  private:
    void release();

    void* mapping_ = nullptr;
    size_t mapped_bytes_ = 0;
    uint32_t* pixels_ = nullptr;
    size_t usable_bytes_ = 0;
};

}  // namespace vistaloom
