#include "pixels/draw_list.h"

#include <gtest/gtest.h>

#include <array>

#include "compose/draw_pass.h"
#include "compose/frame.h"
#include "compose/frame_passes.h"
#include "support/headless_scene.h"
#include "support/scripted_clock.h"
#include "support/seeded_test_random.h"

namespace vistaloom {
namespace {

// Stands in for the display server: its own copy of every scene picture, built only from
// the steps a frame lists.
struct Replayer {
    std::array<Surface, kScenePictures> pictures;

    Surface& operator[](ScenePicture name) { return pictures[static_cast<size_t>(name)]; }

    void replay(SceneSurfaces& client) {
        for (const DrawStep& step : client.draws) {
            Surface& target = (*this)[step.target];
            if (step.kind == DrawStep::Kind::Painted) {
                target = scene_picture(client, step.target);
                continue;
            }
            if (target.empty()) {
                const Surface& sized = scene_picture(client, step.target);
                target.resize(sized.width, sized.height);
            }
            // Clipped already: the copy must lie wholly inside both pictures.
            const Surface& source = (*this)[step.source];
            ASSERT_EQ(blit(target, step.to.x, step.to.y, source, step.src_x, step.src_y, step.to.w,
                           step.to.h),
                      step.to);
        }
        client.draws.clear();
    }
};

struct Case {
    uint64_t seed;
    int32_t width, height, sprites, speed;
    bool borders;
};

// Two identical scenes, one composing in memory and one only listing its copies: frame after
// frame, through background changes, sprites crossing every edge and the last frame a
// wallpaper is made of, the listed copies replayed give exactly the composed pictures, and
// the listing scene copies no pixel and keeps no frame or background of its own.
TEST(DrawList, ReplayedStepsGiveTheComposedPictures) {
    const Case cases[] = {
        {1, 700, 500, 10, 3, true}, {2, 1280, 720, 5, 1, false},  {3, 300, 200, 10, 5, true},
        {4, 640, 480, 1, 2, false}, {5, 1920, 1080, 10, 4, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.seed);
        SaverSettings settings;
        settings.sprite_active = c.sprites;
        settings.speed_scale = c.speed;
        settings.borders_on = c.borders ? "1" : "0";
        testing::ScriptedClock clock_a, clock_b;
        testing::SeededTestRandom random_a(c.seed), random_b(c.seed);
        HeadlessScene a(c.width, c.height, clock_a, random_a, settings);
        HeadlessScene b(c.width, c.height, clock_b, random_b, settings);
        b.surfaces.composed_elsewhere = true;
        size_scene_picture(b.surfaces, b.surfaces.work, c.width, c.height);
        size_scene_picture(b.surfaces, b.surfaces.main, c.width, c.height);
        Replayer server;
        server[ScenePicture::Work] = a.surfaces.work;
        server[ScenePicture::Main] = a.surfaces.main;
        server[ScenePicture::Ascreen] = a.surfaces.ascreen;
        server[ScenePicture::Sheet] = a.surfaces.sprite;
        server[ScenePicture::NoMods] = a.surfaces.no_mods;
        a.run.scene_start_tick = clock_a.tick_ms();
        b.run.scene_start_tick = clock_b.tick_ms();
        FrameCopies totals;
        for (int frame = 0; frame < 1200; ++frame) {
            totals += scene_frame(a.scene);
            scene_frame(b.scene);
            server.replay(b.surfaces);
            ASSERT_EQ(server[ScenePicture::Ascreen].pixels, a.surfaces.ascreen.pixels) << frame;
            ASSERT_EQ(b.surfaces.presented, a.surfaces.presented) << frame;
            for (HeadlessScene* h : {&a, &b}) {
                h->surfaces.presented.clear();
                h->surfaces.ascreen_repainted = false;
            }
            clock_a.advance(50);
            clock_b.advance(50);
        }
        EXPECT_GT(totals.background_changes, 0);
        EXPECT_TRUE(b.surfaces.work.pixels.empty() && b.surfaces.main.pixels.empty());
        EXPECT_EQ(b.surfaces.work.width, c.width);
        ASSERT_EQ(server[ScenePicture::Work].pixels, a.surfaces.work.pixels);
        ASSERT_EQ(server[ScenePicture::Main].pixels, a.surfaces.main.pixels);

        // The wallpaper's last frame, as the session makes it.
        for (HeadlessScene* h : {&a, &b}) {
            restore_background(h->surfaces.work, h->surfaces.main, h->scene);
            draw_sprites(h->surfaces.work, h->surfaces.sprite, h->scene);
            present_frame(h->surfaces.ascreen, h->surfaces.work, h->scene);
        }
        server.replay(b.surfaces);
        ASSERT_EQ(server[ScenePicture::Ascreen].pixels, a.surfaces.ascreen.pixels);
    }
}

// A copy from or to a surface outside the scene (a test's, a border tile's) is carried out at
// once even while the scene's own copies are only listed.
TEST(DrawList, CopiesOutsideTheSceneAreCarriedOut) {
    SceneSurfaces s;
    s.composed_elsewhere = true;
    s.ascreen.resize(4, 4, 1);
    size_scene_picture(s, s.work, 4, 4);
    Surface outside(4, 4, 7);
    EXPECT_EQ(scene_blit(s, s.ascreen, 1, 1, outside, 0, 0, 8, 8), (Rect{1, 1, 3, 3}));
    EXPECT_EQ(s.ascreen.at(3, 3), 7u);
    EXPECT_EQ(scene_blit(s, s.work, -2, 1, s.ascreen, 0, 0, 4, 4), (Rect{0, 1, 2, 3}));
    ASSERT_EQ(s.draws.size(), 1u);
    EXPECT_EQ(s.draws[0].src_x, 2);
    EXPECT_TRUE(s.work.pixels.empty());
    s.composed_elsewhere = false;
    mark_painted(s, ScenePicture::Sheet);
    EXPECT_EQ(s.draws.size(), 1u);
}

}  // namespace
}  // namespace vistaloom
