#include "saver/wallpaper.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "support/memory_registry.h"
#include "support/recording_desktop.h"
#include "support/temp_user_folders.h"
#include "support/temp_folder.h"

namespace vistaloom {
namespace {

std::vector<uint8_t> read_all(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

uint32_t le32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

struct WallpaperFixture : ::testing::Test {
    testing::TempFolder data;
    testing::MemoryRegistry registry;
    testing::RecordingDesktop desktop;
    testing::TempUserFolders folders{data.path()};
    WallpaperSeams seams{registry, desktop, folders};
};

TEST_F(WallpaperFixture, WritesABottomUp24BitBitmapWithPaddedRows) {
    Surface picture(3, 2);
    picture.at(0, 0) = 0x00112233;  // top-left
    picture.at(2, 1) = 0x00AABBCC;  // bottom-right
    const auto path = data.path() / "picture.bmp";
    ASSERT_TRUE(write_bmp24(picture, path.string()));
    const auto b = read_all(path);
    ASSERT_EQ(b.size(), 54u + 2 * 12);  // 9 bytes of pixels padded to 12 per row
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(le32(b, 2), b.size());
    EXPECT_EQ(le32(b, 10), 54u);
    EXPECT_EQ(le32(b, 18), 3u);
    EXPECT_EQ(le32(b, 22), 2u);
    EXPECT_EQ(b[28], 24);
    // First stored row is the bottom one: its last pixel is blue, green, red.
    EXPECT_EQ(b[54 + 6], 0xCC);
    EXPECT_EQ(b[54 + 7], 0xBB);
    EXPECT_EQ(b[54 + 8], 0xAA);
    EXPECT_EQ(b[54 + 12], 0x33);
    EXPECT_EQ(b[54 + 13], 0x22);
    EXPECT_EQ(b[54 + 14], 0x11);
    EXPECT_FALSE(write_bmp24(Surface(), (data.path() / "empty.bmp").string()));
}

TEST_F(WallpaperFixture, StretchedStyleThenApplyTheSavedFile) {
    Surface picture(4, 4, 0x00FF0000);
    ASSERT_TRUE(save_as_wallpaper(picture, kWallpaperStretched, "vistaloom_wallpaper.bmp", seams));
    const auto expected = data.path() / "vistaloom" / "vistaloom_wallpaper.bmp";
    EXPECT_TRUE(std::filesystem::exists(expected));
    ASSERT_EQ(registry.writes.size(), 2u);
    EXPECT_EQ(std::get<2>(registry.writes[0].first), "TileWallpaper");
    EXPECT_EQ(registry.writes[0].second, "0");
    EXPECT_EQ(std::get<2>(registry.writes[1].first), "WallpaperStyle");
    EXPECT_EQ(registry.writes[1].second, "2");
    EXPECT_EQ(std::get<1>(registry.writes[1].first), "Control Panel\\Desktop");
    EXPECT_EQ(desktop.wallpapers, (std::vector<std::string>{expected.string()}));

    // A second save replaces the file and leaves no temporary file behind.
    Surface other(2, 2, 0x000000FF);
    ASSERT_TRUE(save_as_wallpaper(other, kWallpaperStretched, "vistaloom_wallpaper.bmp", seams));
    EXPECT_EQ(read_all(expected).size(), 54u + 2 * 8);
    int files = 0;
    for ([[maybe_unused]] const auto& e :
         std::filesystem::directory_iterator(data.path() / "vistaloom")) {
        ++files;
    }
    EXPECT_EQ(files, 1);
}

TEST_F(WallpaperFixture, StylesAndRefusals) {
    set_wallpaper_style(registry, kWallpaperTiled);
    set_wallpaper_style(registry, 3);
    ASSERT_EQ(registry.writes.size(), 2u);
    EXPECT_EQ(registry.writes[0].second, "1");
    EXPECT_EQ(registry.writes[1].second, "0");

    Surface picture(2, 2);
    EXPECT_FALSE(save_as_wallpaper(picture, 1, "../escape.bmp", seams));
    EXPECT_FALSE(save_as_wallpaper(picture, 1, "", seams));
    desktop.wallpaper_result = false;
    EXPECT_FALSE(save_as_wallpaper(picture, 1, "w.bmp", seams));
}

TEST_F(WallpaperFixture, AnUnwritableFolderFails) {
    std::filesystem::create_directories(data.path() / "vistaloom");
    std::filesystem::permissions(data.path() / "vistaloom", std::filesystem::perms::owner_read |
                                                                std::filesystem::perms::owner_exec);
    Surface picture(2, 2);
    if (::geteuid() != 0) {
        EXPECT_FALSE(save_as_wallpaper(picture, 1, "w.bmp", seams));
        EXPECT_TRUE(desktop.wallpapers.empty());
    }
    std::filesystem::permissions(data.path() / "vistaloom", std::filesystem::perms::owner_all);
}

}  // namespace
}  // namespace vistaloom
