#include "pixels/picture_source.h"

#include <gtest/gtest.h>

#include "pixels/sheet_layout.h"
#include "session_fixture.h"

namespace vistaloom {
namespace {

using testing::SessionFixture;
using testing::write_theme;

constexpr uint32_t kFirstSet = 0x00C01020;
constexpr uint32_t kSecondSet = 0x002040E0;

// Deals one set of pictures at the start and one more at the first scene change, and notes
// whether any picture was on screen when it was asked.
class TwoSets : public PictureSource {
  public:
    const SpriteTables* tables = nullptr;
    int loads = 0;
    int asked = 0;
    int asked_while_shown = 0;
    bool has_pictures = true;

    bool load_first(SceneSurfaces& surfaces) override {
        ++loads;
        if (!has_pictures) return false;
        surfaces.sprite.resize(kSheetWidth, kSheetHeight, kFirstSet);
        return true;
    }
    bool take_next(Surface& sheet) override {
        ++asked;
        for (int32_t slot = 1; slot <= 10; ++slot)
            asked_while_shown += tables->sprites[slot].active;
        if (asked > 1) return false;
        sheet.resize(kSheetWidth, kSheetHeight, kSecondSet);
        return true;
    }
};

bool shows(const Surface& screen, uint32_t pixel) {
    for (uint32_t p : screen.pixels)
        if ((p & 0xFFFFFFu) == pixel) return true;
    return false;
}

struct PictureSwap : SessionFixture {
    TwoSets source;

    // A theme whose pictures come from `source`, run until a key press at 200 s.
    void run_with_gradients(const char* gradients_on, int theme_tracks = 0,
                            bool theme_installed = true) {
        if (theme_installed) write_theme(install, "Pictures", theme_tracks);
        settings.active_module = "Pictures";
        settings.gradients_on = gradients_on;
        settings.borders_on = "0";
        settings.mute_audio = theme_tracks > 0 ? "0" : "1";
        options.pictures = &source;
        make();
        source.tables = &session->tables();
        key_at(200'000);
        session->Form_Load();
        session->Form_Activate();
        events.run_until([this] { return session->unloaded(); });
    }
};

TEST_F(PictureSwap, PicturesChangeBetweenScenesWithoutReloadingTheTheme) {
    bool first_before = false, second_before = false, first_after = false, second_after = false;
    host.on_repaint = [&] {
        const Surface& screen = session->surfaces().ascreen;
        (source.asked == 0 ? first_before : first_after) |= shows(screen, kFirstSet);
        (source.asked == 0 ? second_before : second_after) |= shows(screen, kSecondSet);
    };
    run_with_gradients("1");
    EXPECT_EQ(source.loads, 1);
    EXPECT_GE(source.asked, 1);
    EXPECT_EQ(source.asked_while_shown, 0);
    EXPECT_TRUE(first_before);
    EXPECT_FALSE(second_before);
    EXPECT_FALSE(first_after);
    EXPECT_TRUE(second_after);
}

TEST_F(PictureSwap, TheThemesMusicStaysOffWithTheSourcesPictures) {
    bool shown = false;
    host.on_repaint = [&] { shown |= shows(session->surfaces().ascreen, kFirstSet); };
    run_with_gradients("0", 2);
    EXPECT_TRUE(shown);
    EXPECT_TRUE(media.played.empty());
}

TEST_F(PictureSwap, TheSourcesPicturesShowWhenNoThemeIsInstalled) {
    bool shown = false;
    host.on_repaint = [&] { shown |= shows(session->surfaces().ascreen, kFirstSet); };
    run_with_gradients("0", 0, false);
    EXPECT_EQ(session->run().no_themes, 0);
    EXPECT_TRUE(shown);
}

TEST_F(PictureSwap, ASourceWithoutPicturesGivesWayToTheTheme) {
    source.has_pictures = false;
    bool shown = false;
    host.on_repaint = [&] { shown |= shows(session->surfaces().ascreen, kFirstSet); };
    run_with_gradients("1");
    EXPECT_EQ(source.loads, 1);
    EXPECT_EQ(source.asked, 0) << "a source that had nothing is not asked again";
    EXPECT_FALSE(shown);
}

TEST_F(PictureSwap, WithoutGradientsTheScenesKeepTheirPictures) {
    run_with_gradients("0");
    EXPECT_EQ(source.loads, 1);
    EXPECT_EQ(source.asked, 0);
}

}  // namespace
}  // namespace vistaloom
