#pragma once
// The seams the headless benchmarks and long runs share: a reproducible random source and a
// clock that moves only when told, so every run sees the same scenes.
#include <cstdint>
#include <random>

#include "compose/scene_runner.h"
#include "support/headless_scene.h"
#include "ground/clock.h"
#include "ground/random_source.h"

namespace vistaloom::bench {

// A seeded engine; reseeding draws the new seed from the engine itself.
class SeededRandom : public RandomSource {
  public:
    explicit SeededRandom(uint64_t seed) : engine_(seed) {}
    double next() override { return static_cast<double>(engine_() >> 11) * 0x1.0p-53; }
    void reseed_from_clock() override { engine_.seed(engine_()); }

  private:
    std::mt19937_64 engine_;
};

// Moves only when the caller says so, one frame at a time.
class SteppedClock : public Clock {
  public:
    int64_t now_ms = 0;
    int64_t tick_ms() override { return now_ms; }
    TimeOfDay time_of_day() override { return {}; }
};

// A ten-sprite scene of the given size on the seams above, 20 frames per simulated second:
// the background changes every 700 frames.
struct TenSpriteScene {
    TenSpriteScene(int32_t width, int32_t height)
        : owner(width, height, clock, random, ten_sprites()), runner(owner.scene) {}
    // One frame, then the clock moves on by one frame's time.
    void frame() {
        runner.run_frame();
        clock.now_ms += 50;
    }

    SeededRandom random{20261208};
    SteppedClock clock;
    HeadlessScene owner;
    SceneRunner runner;

  private:
    static SaverSettings ten_sprites() {
        SaverSettings settings;
        settings.sprite_active = 10;
        return settings;
    }
};

}  // namespace vistaloom::bench
