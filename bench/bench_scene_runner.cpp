// Whole frames of a ten-sprite scene at 1920 x 1080 through the headless runner: how many
// frames one CPU second composes, and how many bytes the restore and present copies move per
// frame compared with the least a dirty-rectangle scheme must copy (each live sprite
// restored once and presented once, 320 x 240 pixels each). Cell draws and the full copies
// after a background change are reported apart.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>

#include "compose/scene_runner.h"
#include "ground/clock.h"
#include "ground/random_source.h"

namespace {

using namespace vistaloom;

// A seeded engine; reseeding draws the new seed from the engine itself, so every run of the
// benchmark sees the same scenes.
class SeededRandom : public RandomSource {
  public:
    explicit SeededRandom(uint64_t seed) : engine_(seed) {}
    double next() override { return static_cast<double>(engine_() >> 11) * 0x1.0p-53; }
    void reseed_from_clock() override { engine_.seed(engine_()); }

  private:
    std::mt19937_64 engine_;
};

// Moves only when the benchmark says so: one 50 ms frame at a time (20 frames per second),
// so a background change falls due every 700 frames.
class SteppedClock : public Clock {
  public:
    int64_t now_ms = 0;
    int64_t tick_ms() override { return now_ms; }
    TimeOfDay time_of_day() override { return {}; }
};

void BM_SceneFrames(benchmark::State& state) {
    const auto width = static_cast<int32_t>(state.range(0));
    const auto height = static_cast<int32_t>(state.range(1));
    SeededRandom random(20261208);
    SteppedClock clock;
    SaverSettings settings;
    settings.sprite_active = 10;
    HeadlessScene owner(width, height, clock, random, settings);
    SceneRunner runner(owner.scene);

    for (auto _ : state) {
        runner.run_frame();
        clock.now_ms += 50;
    }

    const FrameCopies& t = runner.totals();
    const double frames = static_cast<double>(runner.frames_run());
    const double sprite_rect = 320.0 * 240.0 * 4.0;
    const double composed = static_cast<double>(t.restore_bytes + t.present_bytes);
    const double lower_bound = 2.0 * sprite_rect * static_cast<double>(t.live_sprites);
    state.counters["frames_per_cpu_s"] = benchmark::Counter(frames, benchmark::Counter::kIsRate);
    state.counters["live_sprites"] = static_cast<double>(t.live_sprites) / frames;
    state.counters["restore_present_B"] = composed / frames;
    state.counters["lower_bound_B"] = lower_bound / frames;
    state.counters["over_bound"] = lower_bound > 0 ? composed / lower_bound : 0.0;
    // Sprites entering or leaving are partly outside the scene, so the bound above overstates
    // what must be copied; twice the visible part of each drawn sprite is the tight bound.
    const double visible_bound = 2.0 * static_cast<double>(t.draw_bytes);
    state.counters["visible_bound_B"] = visible_bound / frames;
    state.counters["over_visible_bound"] = visible_bound > 0 ? composed / visible_bound : 0.0;
    state.counters["cell_draw_B"] = static_cast<double>(t.draw_bytes) / frames;
    state.counters["background_B"] = static_cast<double>(t.background_bytes) / frames;
    state.counters["scene_changes"] = static_cast<double>(t.background_changes);
}

BENCHMARK(BM_SceneFrames)->Args({1920, 1080})->Iterations(100000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
