#include "saver/screen_layout.h"

#include <gtest/gtest.h>

namespace vistaloom {
namespace {

struct PlanCase {
    const char* what;
    ScreenMode mode;
    std::vector<ScreenArea> screens;
    std::vector<ScreenRole> roles;
    std::vector<Rect> sources;  // per screen, where the role shows a scene
    std::vector<Rect> places;
    Rect span;  // scene size and the scene screen's start in it (span only)
};

TEST(ScreenLayout, EachModePlansRolesAndViews) {
    const ScreenArea a{0, 0, 800, 600, 1.0};
    const ScreenArea b{800, 0, 640, 480, 1.0};
    const ScreenArea left_of_main{-1024, 100, 1024, 768, 1.0};
    const ScreenArea dense{800, 0, 640, 480, 2.0};
    const std::vector<PlanCase> cases = {
        {"each: a scene everywhere",
         ScreenMode::Each,
         {a, b},
         {ScreenRole::Scene, ScreenRole::Scene},
         {{0, 0, 800, 600}, {0, 0, 640, 480}},
         {{0, 0, 800, 600}, {0, 0, 640, 480}},
         {}},
        {"main: the others black",
         ScreenMode::Main,
         {a, b, left_of_main},
         {ScreenRole::Scene, ScreenRole::Black, ScreenRole::Black},
         {},
         {},
         {}},
        // 800 x 600 into 640 x 480 is an exact fit; into 1024 x 768 as well.
        {"mirror: same aspect fills",
         ScreenMode::Mirror,
         {a, b},
         {ScreenRole::Scene, ScreenRole::Viewer},
         {{0, 0, 800, 600}, {0, 0, 800, 600}},
         {{0, 0, 800, 600}, {0, 0, 640, 480}},
         {}},
        // A 4:3 scene on a 16:9 screen: bars left and right.
        {"mirror: bars on a wider screen",
         ScreenMode::Mirror,
         {a, {800, 0, 1920, 1080, 1.0}},
         {ScreenRole::Scene, ScreenRole::Viewer},
         {{0, 0, 800, 600}, {0, 0, 800, 600}},
         {{0, 0, 800, 600}, {240, 0, 1440, 1080}},
         {}},
        // A 16:9 scene on a 4:3 screen: bars above and below.
        {"mirror: bars on a taller screen",
         ScreenMode::Mirror,
         {{0, 0, 1920, 1080, 1.0}, a},
         {ScreenRole::Scene, ScreenRole::Viewer},
         {{0, 0, 1920, 1080}, {0, 0, 1920, 1080}},
         {{0, 0, 1920, 1080}, {0, 75, 800, 450}},
         {}},
        {"mirror: a ratio-2 viewer fits in device pixels",
         ScreenMode::Mirror,
         {a, dense},
         {ScreenRole::Scene, ScreenRole::Viewer},
         {{0, 0, 800, 600}, {0, 0, 800, 600}},
         {{0, 0, 800, 600}, {0, 0, 1280, 960}},
         {}},
        {"span: side by side",
         ScreenMode::Span,
         {a, b},
         {ScreenRole::Scene, ScreenRole::Viewer},
         {{0, 0, 800, 600}, {800, 0, 640, 480}},
         {{0, 0, 800, 600}, {0, 0, 640, 480}},
         {0, 0, 1440, 600}},
        // The box starts left of and above the main screen, which is then not at 0, 0.
        {"span: a screen left of the main one",
         ScreenMode::Span,
         {a, left_of_main},
         {ScreenRole::Scene, ScreenRole::Viewer},
         {{1024, 0, 800, 600}, {0, 100, 1024, 768}},
         {{0, 0, 800, 600}, {0, 0, 1024, 768}},
         {1024, 0, 1824, 868}},
        // Measured at the main screen's ratio; the dense screen scales its part up.
        {"span: a denser neighbour",
         ScreenMode::Span,
         {a, dense},
         {ScreenRole::Scene, ScreenRole::Viewer},
         {{0, 0, 800, 600}, {800, 0, 640, 480}},
         {{0, 0, 800, 600}, {0, 0, 1280, 960}},
         {0, 0, 1440, 600}},
        {"one screen: a scene in any mode",
         ScreenMode::Span,
         {a},
         {ScreenRole::Scene},
         {{0, 0, 800, 600}},
         {{0, 0, 800, 600}},
         {0, 0, 800, 600}},
    };
    for (const PlanCase& c : cases) {
        SCOPED_TRACE(c.what);
        const ScreensPlan plan = plan_screens(c.mode, c.screens);
        ASSERT_EQ(plan.screens.size(), c.roles.size());
        for (size_t i = 0; i < c.roles.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(plan.screens[i].role, c.roles[i]);
            if (i < c.sources.size()) {
                EXPECT_EQ(plan.screens[i].view.source, c.sources[i]);
                EXPECT_EQ(plan.screens[i].view.place, c.places[i]);
            }
            if (plan.screens[i].role == ScreenRole::Viewer) {
                EXPECT_EQ(plan.screens[i].scene, 0u);
            }
            // The same screen plugged in during the run gets what it gets at the start.
            if (i > 0) {
                const ScreenPlan added = plan_added_screen(c.mode, c.screens[0],
                                                           span_origin(c.screens), c.screens[i]);
                EXPECT_EQ(added.role, plan.screens[i].role);
                if (added.role == ScreenRole::Viewer) {
                    EXPECT_EQ(added.view.source, plan.screens[i].view.source);
                    EXPECT_EQ(added.view.place, plan.screens[i].view.place);
                }
            }
        }
        if (c.mode == ScreenMode::Span) {
            EXPECT_EQ((Rect{plan.scene_left, plan.scene_top, plan.scene_width, plan.scene_height}),
                      (Rect{c.span.x, c.span.y, c.span.w, c.span.h}));
        }
    }
}

// A scene of distinct pixels, so any pixel drawn shows where it was sampled from.
Surface numbered(int32_t w, int32_t h) {
    Surface s(w, h);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) s.at(x, y) = static_cast<uint32_t>(y * 1000 + x + 1);
    return s;
}

TEST(ScreenLayout, ViewsDrawTheirPartAndOnlyWhatChanged) {
    const Surface scene = numbered(8, 6);
    {
        SCOPED_TRACE("span: the neighbour's part, one to one, black beyond the scene");
        // The scene stands at (2, 1) of a 12 x 8 scene area; the viewer shows x 6..11.
        const SceneView view{{6, 0, 6, 8}, {0, 0, 6, 8}};
        Surface target(6, 8, 0xFFFFFF);
        const Rect drawn = draw_view(target, view, scene, 2, 1, {0, 0, 12, 8});
        EXPECT_EQ(drawn, (Rect{0, 0, 6, 8}));
        EXPECT_EQ(target.at(0, 1), scene.at(4, 0));
        EXPECT_EQ(target.at(3, 6), scene.at(7, 5));
        EXPECT_EQ(target.at(4, 1), 0u);  // right of the scene
        EXPECT_EQ(target.at(0, 0), 0u);  // above it
    }
    {
        SCOPED_TRACE("a change elsewhere in the scene leaves the viewer alone");
        const SceneView view{{6, 0, 6, 8}, {0, 0, 6, 8}};
        Surface target(6, 8, 0xFFFFFF);
        EXPECT_EQ(draw_view(target, view, scene, 2, 1, {0, 0, 6, 8}).w, 0);
        EXPECT_EQ(target.at(0, 0), 0xFFFFFFu);
    }
    {
        SCOPED_TRACE("mirror at half size inside bars: every other pixel, bars untouched");
        const SceneView view{{0, 0, 8, 6}, {1, 0, 4, 3}};
        Surface target(6, 3, 0xFFFFFF);
        const Rect drawn = draw_view(target, view, scene, 0, 0, {0, 0, 8, 6});
        EXPECT_EQ(drawn, (Rect{1, 0, 4, 3}));
        for (int32_t y = 0; y < 3; ++y)
            for (int32_t x = 0; x < 4; ++x)
                EXPECT_EQ(target.at(1 + x, y), scene.at(2 * x + 1, 2 * y + 1));
        EXPECT_EQ(target.at(0, 0), 0xFFFFFFu);
        EXPECT_EQ(target.at(5, 2), 0xFFFFFFu);
        // One changed source pixel redraws the one target pixel that shows it.
        EXPECT_EQ(view.place_of({3, 3, 1, 1}), (Rect{2, 1, 1, 1}));
    }
    {
        SCOPED_TRACE("double size: each source pixel becomes two by two");
        const SceneView view{{0, 0, 8, 6}, {0, 0, 16, 12}};
        Surface target(16, 12);
        draw_view(target, view, scene, 0, 0, {5, 4, 1, 1});
        EXPECT_EQ(view.place_of({5, 4, 1, 1}), (Rect{10, 8, 2, 2}));
        for (int32_t y = 8; y < 10; ++y)
            for (int32_t x = 10; x < 12; ++x) EXPECT_EQ(target.at(x, y), scene.at(5, 4));
        EXPECT_EQ(target.at(9, 8), 0u);
    }
}

TEST(ScreenLayout, ModeWordsRoundTripAndUnknownMeansEach) {
    for (ScreenMode mode :
         {ScreenMode::Each, ScreenMode::Mirror, ScreenMode::Span, ScreenMode::Main})
        EXPECT_EQ(screen_mode_from_text(screen_mode_text(mode)), mode);
    EXPECT_FALSE(screen_mode_from_text("Mirror"));
    EXPECT_FALSE(screen_mode_from_text(""));
    EXPECT_EQ(screen_mode_or_each("spanned"), ScreenMode::Each);
}

}  // namespace
}  // namespace vistaloom
