#include <gtest/gtest.h>

#include "startup/settings_store.h"
#include "support/memory_registry.h"

namespace vistaloom {
namespace {

using testing::MemoryRegistry;

const std::string kDesktop = "Control Panel\\Desktop";

TEST(RegistryValue, DwordIsDecimalWithAtLeastThreeDigits) {
    MemoryRegistry reg;
    reg.put_dword(HKEY_CURRENT_USER, kDesktop, "one", 1);
    reg.put_dword(HKEY_CURRENT_USER, kDesktop, "zero", 0);
    reg.put_dword(HKEY_CURRENT_USER, kDesktop, "big", 1234);
    reg.put_dword(HKEY_CURRENT_USER, kDesktop, "max", 0xFFFFFFFFu);
    reg.put_dword(HKEY_CURRENT_USER, kDesktop, "odd", 16777217u);
    EXPECT_EQ(read_registry_value(reg, HKEY_CURRENT_USER, kDesktop, "one"), "001");
    EXPECT_EQ(read_registry_value(reg, HKEY_CURRENT_USER, kDesktop, "zero"), "000");
    EXPECT_EQ(read_registry_value(reg, HKEY_CURRENT_USER, kDesktop, "big"), "1234");
    EXPECT_EQ(read_registry_value(reg, HKEY_CURRENT_USER, kDesktop, "max"), "4294967295");
    EXPECT_EQ(read_registry_value(reg, HKEY_CURRENT_USER, kDesktop, "odd"), "16777217");
}

TEST(RegistryValue, StringDropsItsLastByte) {
    MemoryRegistry reg;
    reg.put_string(HKEY_CURRENT_USER, kDesktop, "WallpaperStyle", "1");
    reg.put_string(HKEY_CURRENT_USER, kDesktop, "empty", "");
    RawValue no_bytes;
    reg.put(HKEY_CURRENT_USER, kDesktop, "nothing", no_bytes);
    EXPECT_EQ(read_registry_value(reg, HKEY_CURRENT_USER, kDesktop, "WallpaperStyle"), "1");
    EXPECT_EQ(read_registry_value(reg, HKEY_CURRENT_USER, kDesktop, "empty"), "");
    EXPECT_EQ(read_registry_value(reg, HKEY_CURRENT_USER, kDesktop, "nothing"), "");
}

TEST(RegistryValue, EveryFailureGivesTheEmptyText) {
    MemoryRegistry reg;
    reg.put_string(HKEY_CURRENT_USER, kDesktop, "v", "1");
    reg.put_string(0, kDesktop, "v", "1");
    reg.put_string(0x80000007u, kDesktop, "v", "1");
    reg.put_string(0x7FFFFFFFu, kDesktop, "v", "1");

    EXPECT_EQ(read_registry_value(reg, 0, kDesktop, "v"), "");
    EXPECT_EQ(read_registry_value(reg, 0x80000007u, kDesktop, "v"), "");
    EXPECT_EQ(read_registry_value(reg, 0x7FFFFFFFu, kDesktop, "v"), "");
    EXPECT_TRUE(reg.queries.empty());  // a bad root touches nothing

    EXPECT_EQ(read_registry_value(reg, HKEY_CURRENT_USER, "Control Panel\\Nowhere", "v"), "");
    EXPECT_EQ(read_registry_value(reg, HKEY_CURRENT_USER, kDesktop, "missing"), "");

    reg.put_string(HKEY_CURRENT_USER, kDesktop, "fits", std::string(254, 'a'));  // 255 bytes
    reg.put_string(HKEY_CURRENT_USER, kDesktop, "long", std::string(255, 'a'));  // 256 bytes
    EXPECT_EQ(read_registry_value(reg, HKEY_CURRENT_USER, kDesktop, "fits"), std::string(254, 'a'));
    EXPECT_EQ(read_registry_value(reg, HKEY_CURRENT_USER, kDesktop, "long"), "");
}

TEST(RegistryValue, EveryPredefinedRootIsAccepted) {
    for (uint32_t root = HKEY_CLASSES_ROOT; root <= HKEY_DYN_DATA; ++root) {
        MemoryRegistry reg;
        reg.put_string(root, "k", "v", "x");
        EXPECT_EQ(read_registry_value(reg, root, "k", "v"), "x") << std::hex << root;
    }
}

TEST(RegistryValue, WriteStoresTheStringUnderPredefinedRootsOnly) {
    MemoryRegistry reg;
    write_registry_string(reg, HKEY_CURRENT_USER, kDesktop, "TileWallpaper", "0");
    write_registry_string(reg, 0, kDesktop, "TileWallpaper", "1");
    ASSERT_EQ(reg.writes.size(), 1u);
    EXPECT_EQ(reg.string_at(HKEY_CURRENT_USER, kDesktop, "TileWallpaper"), "0");
    EXPECT_EQ(read_registry_value(reg, HKEY_CURRENT_USER, kDesktop, "TileWallpaper"), "0");
}

}  // namespace
}  // namespace vistaloom
