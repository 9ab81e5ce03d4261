#include "saver/headless_session.h"

#include <gtest/gtest.h>

#include "pixels/picture_source.h"
#include "pixels/sheet_layout.h"
#include "session_fixture.h"

namespace vistaloom {
namespace {

using testing::SessionFixture;
using testing::write_theme;

// Each cell a colour of its own, so the frames show which picture went where.
class PatternedPictures : public PictureSource {
  public:
    bool load_first(SceneSurfaces& surfaces) override {
        surfaces.sprite.resize(kSheetWidth, kSheetHeight);
        for (int32_t n = 1; n <= kSheetCells; ++n) {
            const SheetPoint at = sheet_cell_origin(n);
            for (int32_t y = at.y; y < at.y + kSheetCellHeight; ++y) {
                for (int32_t x = at.x; x < at.x + kSheetCellWidth; ++x)
                    surfaces.sprite.at(x, y) = 0x00101010u * static_cast<uint32_t>(n);
            }
        }
        return true;
    }
    bool take_next(Surface&) override { return false; }
};

// The headless runner is the session itself behind a window that shows nothing: the same
// seams give the same frames, frame for frame, as the saver window's loop.
TEST_F(SessionFixture, HeadlessRunnerMakesTheSessionsFrames) {
    write_theme(install, "Pictures", 0);
    settings.active_module = "Pictures";
    settings.sprite_active = 10;
    settings.mute_audio = "1";
    PatternedPictures pictures;
    options.pictures = &pictures;
    options.max_frames = 1200;  // a minute at 20 frames a second: past the first scene change
    host.width = 640;
    host.height = 480;
    run();

    SaverSettings same = settings;
    testing::ScriptedClock clock2;
    clock2.now_ms = 100'000;
    testing::QueuedRandom random2;
    testing::RecordingDesktop desktop2;
    testing::RecordingMedia media2;
    testing::MemoryRegistry registry2;
    testing::TempFolder data2;
    testing::TempUserFolders folders2{data2.path()};
    SaverSessionOptions options2 = options;
    options2.max_frames = 0;
    HeadlessSession headless(640, 480, same, startup,
                             SaverSeams{clock2, random2, desktop2, media2, registry2, folders2},
                             options2);
    const auto advance = [&](int64_t delay) { clock2.now_ms += delay; };
    EXPECT_EQ(headless.run_frames(1200, advance), 1200);
    EXPECT_EQ(headless.session().surfaces().ascreen.pixels, session->surfaces().ascreen.pixels);
    EXPECT_GE(headless.session().run().scene_start_tick, 135'000);  // a scene change was made
    headless.finish(advance);
    EXPECT_TRUE(headless.unloaded());
    EXPECT_EQ(headless.session().frames_drawn(), 1200);
}

}  // namespace
}  // namespace vistaloom
