#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "pixels/surface.h"

namespace vistaloom {
namespace {

// Memory owned elsewhere, as the display server's shared segment is; it can refuse a size.
class FakeStore : public PixelStore {
  public:
    explicit FakeStore(size_t capacity) : block(capacity, 0xDEADBEEFu) {}
    uint32_t* provide_pixels(size_t count) override {
        ++requests;
        return count <= block.size() ? block.data() : nullptr;
    }
    std::vector<uint32_t> block;
    int requests = 0;
};

TEST(PixelStore, ASurfaceDrawsInTheStoresMemoryAndBlitsWorkThere) {
    FakeStore store(64);
    Surface s;
    s.pixels.use_store(&store);
    s.resize(8, 6, 0x112233u);
    ASSERT_TRUE(s.pixels.in_store());
    EXPECT_EQ(s.pixels.data(), store.block.data());
    EXPECT_EQ(store.block[47], 0x112233u);  // filled in place
    EXPECT_EQ(store.block[48], 0xDEADBEEFu);  // nothing past the surface is touched

    const Surface source(2, 2, 0xABCDEFu);
    blit(s, 3, 4, source, 0, 0, 2, 2);
    EXPECT_EQ(store.block[4 * 8 + 3], 0xABCDEFu);
    EXPECT_EQ(store.block[5 * 8 + 4], 0xABCDEFu);
}

TEST(PixelStore, ASizeTheStoreRefusesFallsBackToOwnMemory) {
    FakeStore store(10);
    Surface s;
    s.pixels.use_store(&store);
    s.resize(4, 4, 7u);
    EXPECT_FALSE(s.pixels.in_store());
    EXPECT_EQ(store.requests, 1);
    ASSERT_EQ(s.pixels.size(), 16u);
    EXPECT_EQ(s.at(3, 3), 7u);
    s.resize(3, 3, 9u);  // fits now
    EXPECT_TRUE(s.pixels.in_store());
    EXPECT_EQ(s.at(2, 2), 9u);
}

TEST(PixelStore, ACopyOwnsItsPixelsAndAMoveKeepsTheStoresBlock) {
    FakeStore store(16);
    Surface s;
    s.pixels.use_store(&store);
    s.resize(4, 4, 5u);

    Surface copy = s;
    EXPECT_FALSE(copy.pixels.in_store());
    EXPECT_NE(copy.pixels.data(), store.block.data());
    EXPECT_EQ(copy.pixels, s.pixels);
    copy.at(0, 0) = 6u;
    EXPECT_EQ(store.block[0], 5u);  // the copy does not write through

    Surface moved = std::move(s);
    EXPECT_TRUE(moved.pixels.in_store());
    EXPECT_EQ(moved.pixels.data(), store.block.data());
    EXPECT_TRUE(s.pixels.empty());  // NOLINT(bugprone-use-after-move): moved-from is empty

    // Assigning an ordinary surface over a store-backed one leaves the store alone.
    moved = Surface(2, 2, 1u);
    EXPECT_FALSE(moved.pixels.in_store());
    EXPECT_EQ(store.block[0], 5u);
}

}  // namespace
}  // namespace vistaloom
