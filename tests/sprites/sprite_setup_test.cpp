#include <gtest/gtest.h>

#include "sprite_rig.h"
#include "sprites/sprite_setup.h"

namespace vistaloom {
namespace {

using testing::SpriteRig;

TEST(SpriteSetup, CellsCoverTheSheetRowByRowTwoPerRow) {
    SpriteRig rig;
    const auto& cells = rig.tables().cell_table;
    for (int32_t n = 1; n <= 20; ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(cells[n].src_x, (n - 1) % 2 * 320);
        EXPECT_EQ(cells[n].src_y, (n - 1) / 2 * 240 + 1);
        EXPECT_EQ(cells[n].width, 320);
        EXPECT_EQ(cells[n].height, 240);
    }
    EXPECT_EQ(cells[20].src_x, 320);
    EXPECT_EQ(cells[20].src_y, 2161);
}

TEST(SpriteSetup, SpeedTablesFollowTheSceneSize) {
    SpriteRig rig(1024, 768);
    const auto& t = rig.tables();
    EXPECT_DOUBLE_EQ(t.speed_x[5], 1.28);
    EXPECT_DOUBLE_EQ(t.speed_y[5], 0.96);
    EXPECT_DOUBLE_EQ(t.speed_x[1], 0.256);
    EXPECT_DOUBLE_EQ(t.speed_x[16], 4.096);
    EXPECT_DOUBLE_EQ(t.speed_y[50], 9.6);
}

TEST(SpriteSetup, FreesEverySlotAndVisitsSlotsInOrder) {
    SpriteRig rig;
    rig.slot(3) = sprite_rec{};
    rig.slot(3).active = 1;
    rig.slot(3).motion = kMotionStraight;
    rig.slot(3).picture = 7;
    rig.slot(3).x = 42;
    setup_sprites(rig.scene());
    for (int32_t k = 1; k <= 10; ++k) {
        EXPECT_EQ(rig.tables().draw_order[k], k);
        EXPECT_EQ(rig.slot(k).active, 0);
        EXPECT_EQ(rig.slot(k).motion, kMotionNone);
        EXPECT_EQ(rig.slot(k).picture, 0);
    }
    EXPECT_EQ(rig.slot(3).x, 42);  // freeing leaves the rest of the record alone
    EXPECT_EQ(count_active_sprites(rig.tables(), 10), 0);
}

TEST(SpriteSetup, FramesEveryCellWithTheBorderTiles) {
    SpriteRig rig;  // borders on by default
    const Surface& sheet = rig.surfaces().sprite;
    const Surface& border = rig.surfaces().border;
    for (int32_t r = 0; r < 10; ++r) {
        for (int32_t j = 0; j < 2; ++j) {
            SCOPED_TRACE(::testing::Message() << "row " << r << " column " << j);
            const int32_t x0 = 320 * j, y0 = 240 * r + 1;
            EXPECT_EQ(sheet.at(x0 + 8, y0), border.at(16, 0));
            EXPECT_EQ(sheet.at(x0, y0 + 8), border.at(0, 16));
            EXPECT_EQ(sheet.at(x0 + 319, y0 + 239), border.at(79, 79));
            EXPECT_EQ(sheet.at(x0, y0), border.at(0, 0));
            EXPECT_EQ(sheet.at(x0 + 312, y0), border.at(72, 0));
            EXPECT_EQ(sheet.at(x0, y0 + 239), border.at(0, 79));
            EXPECT_EQ(sheet.at(x0 + 317, y0 + 100), border.at(77, 16 + 100 % 8));
            EXPECT_EQ(sheet.at(x0 + 100, y0 + 235), border.at(16 + 100 % 8, 75));
            // The picture inside the frame is untouched.
            EXPECT_EQ(sheet.at(x0 + 8, y0 + 8), HeadlessScene::sheet_pixel(x0 + 8, y0 + 8));
            EXPECT_EQ(sheet.at(x0 + 311, y0 + 231), HeadlessScene::sheet_pixel(x0 + 311, y0 + 231));
        }
    }
    EXPECT_EQ(sheet.at(5, 0), HeadlessScene::sheet_pixel(5, 0));  // row 0 is in no cell
}

TEST(SpriteSetup, BordersOffLeavesTheSheetAsLoaded) {
    SaverSettings settings;
    settings.borders_on = "0";
    SpriteRig rig(1024, 768, settings);
    const Surface& sheet = rig.surfaces().sprite;
    for (int32_t y = 0; y < sheet.height; ++y) {
        for (int32_t x = 0; x < sheet.width; ++x) {
            ASSERT_EQ(sheet.at(x, y), HeadlessScene::sheet_pixel(x, y)) << x << "," << y;
        }
    }
}

TEST(SpriteSetup, SmallOrEmptySheetIsFramedWhereItExists) {
    SpriteRig rig;
    Surface& sheet = rig.surfaces().sprite;
    sheet.resize(330, 20, 0x00123456);
    setup_sprites(rig.scene());
    const Surface& border = rig.surfaces().border;
    EXPECT_EQ(sheet.at(8, 1), border.at(16, 0));
    EXPECT_EQ(sheet.at(0, 9), border.at(0, 16));
    EXPECT_EQ(sheet.at(320, 1), border.at(0, 0));  // second column's corner, clipped at 330
    EXPECT_EQ(sheet.at(5, 0), 0x00123456u);

    sheet.resize(0, 0);
    setup_sprites(rig.scene());
    EXPECT_TRUE(sheet.empty());
}

}  // namespace
}  // namespace vistaloom
