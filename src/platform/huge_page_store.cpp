#include "platform/huge_page_store.h"

#include <sys/mman.h>

#include <cstdlib>

namespace vistaloom {

namespace {

constexpr size_t kHugePage = size_t{2} << 20;
// Below this a surface is not worth a mapping of its own.
constexpr size_t kSmallest = 4 * kHugePage;

}  // namespace

HugePageStore::~HugePageStore() {
    release();
}

void HugePageStore::release() {
    if (mapping_ != nullptr) munmap(mapping_, mapped_bytes_);
    mapping_ = nullptr;
    pixels_ = nullptr;
    mapped_bytes_ = usable_bytes_ = 0;
}

uint32_t* HugePageStore::provide_pixels(size_t count) {
    const size_t bytes = count * sizeof(uint32_t);
    if (bytes < kSmallest || std::getenv("VISTALOOM_NO_HUGEPAGES") != nullptr) return nullptr;
    if (pixels_ != nullptr && bytes <= usable_bytes_) return pixels_;
    release();
    // One large page more than needed, so that the block can start on a large-page boundary.
    const size_t length = (bytes + kHugePage - 1) / kHugePage * kHugePage + kHugePage;
    void* mapping = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapping == MAP_FAILED) return nullptr;
    const auto start = reinterpret_cast<uintptr_t>(mapping);
    const uintptr_t aligned = (start + kHugePage - 1) & ~(uintptr_t{kHugePage} - 1);
    // Only advice: a kernel without transparent large pages still gives ordinary memory.
    madvise(reinterpret_cast<void*>(aligned), length - (aligned - start), MADV_HUGEPAGE);
    mapping_ = mapping;
    mapped_bytes_ = length;
    pixels_ = reinterpret_cast<uint32_t*>(aligned);
    usable_bytes_ = length - (aligned - start);
    return pixels_;
}

}  // namespace vistaloom
