#pragma once
#include <cstdint>

#include "pixels/gradient_rect.h"
#include "pixels/scene_surfaces.h"
#include "pixels/sheet_layout.h"
#include "sprites/scene.h"
#include "sprites/sprite_model.h"
#include "sprites/sprite_setup.h"
#include "startup/run_settings.h"
#include "startup/run_state.h"
#include "startup/saver_settings.h"

namespace vistaloom {

class Clock;
class RandomSource;

// Everything one saver session's sprite engine works on, owned in one place and ready to
// run without a window: surfaces sized to the scene, a patterned sheet, fresh run-time
// tables and the sprite tables built. Tests and benchmarks share it. Not copyable: `scene`
// refers to the members.
class HeadlessScene {
  public:
    // Colour of the start background, so a test can tell it from a painted gradient.
    static constexpr uint32_t kStartBackground = 0x00203040;
    static constexpr uint32_t kNoThemePixel = 0x00112233;

    HeadlessScene(int32_t scene_width, int32_t scene_height, Clock& clock, RandomSource& random,
                  const SaverSettings& saver_settings = SaverSettings{})
        : settings(resolve_run_settings(saver_settings)), scene{settings, run,   tables,  surfaces,
                                                                random,   clock, gradient} {
        surfaces.scene_width = scene_width;
        surfaces.scene_height = scene_height;
        surfaces.ascreen.resize(scene_width, scene_height, kStartBackground);
        surfaces.main.resize(scene_width, scene_height, kStartBackground);
        surfaces.work.resize(scene_width, scene_height, kStartBackground);
        surfaces.ascreen_repainted = true;

        surfaces.sprite.resize(kSheetWidth, kSheetHeight);
        for (int32_t y = 0; y < kSheetHeight; ++y) {
            for (int32_t x = 0; x < kSheetWidth; ++x) surfaces.sprite.at(x, y) = sheet_pixel(x, y);
        }
        surfaces.border.resize(80, 80);
        for (int32_t y = 0; y < 80; ++y) {
            for (int32_t x = 0; x < 80; ++x) {
                surfaces.border.at(x, y) =
                    0x00A00000u | (static_cast<uint32_t>(x) << 8) | static_cast<uint32_t>(y);
            }
        }
        surfaces.no_mods.resize(kSheetCellWidth, kSheetCellHeight, kNoThemePixel);

        init_run_state(run, settings, random);
        setup_sprites(scene);
    }
    HeadlessScene(const HeadlessScene&) = delete;
    HeadlessScene& operator=(const HeadlessScene&) = delete;

    RunSettings settings;
    RunState run;
    SpriteTables tables;
    SceneSurfaces surfaces;
    clsGradient gradient;
    Scene scene;

    // The pixel the patterned sheet holds at (x, y): each cell has its own colour, so a test
    // can tell which picture was drawn where.
    static uint32_t sheet_pixel(int32_t x, int32_t y) {
        if (y < kSheetTopLine) return 0x00FF00FF;  // the line above the cells is in no picture
        const int32_t cell =
            kSheetColumns * ((y - kSheetTopLine) / kSheetCellHeight) + x / kSheetCellWidth + 1;
        return (static_cast<uint32_t>(cell) << 16) | (static_cast<uint32_t>(x & 0xFF) << 8) |
               static_cast<uint32_t>(y & 0xFF);
    }
};

}  // namespace vistaloom
