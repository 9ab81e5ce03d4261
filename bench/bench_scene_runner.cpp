// Whole frames of a ten-sprite scene at 1920 x 1080 through the headless runner: how many
// frames one CPU second composes, and how many bytes the restore and present copies move per
// frame compared with the least a dirty-rectangle scheme must copy (each live sprite
// restored once and presented once, 320 x 240 pixels each). Cell draws and the full copies
// after a background change are reported apart.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "bench_seams.h"
#include "compose/scene_runner.h"

namespace {

using namespace vistaloom;


void BM_SceneFrames(benchmark::State& state) {
    const auto width = static_cast<int32_t>(state.range(0));
    const auto height = static_cast<int32_t>(state.range(1));
    bench::TenSpriteScene scene(width, height);
    SceneRunner& runner = scene.runner;

    for (auto _ : state) scene.frame();

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
