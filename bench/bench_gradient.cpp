// Gradient fill against a plain fill of the same surface. The goal is a ratio of at most 2:
// the gradient is repainted at every scene change, and should cost about one clear.
#include <benchmark/benchmark.h>

#include "pixels/gradient_rect.h"
#include "pixels/surface.h"

namespace {

using vistaloom::clsGradient;
using vistaloom::Surface;

const int kSizes[][2] = {{800, 600}, {1920, 1080}, {3840, 2160}};

void BM_GradientDraw(benchmark::State& state) {
    const auto& size = kSizes[state.range(0)];
    Surface surface(size[0], size[1]);
    clsGradient gradient;
    gradient.Angle(static_cast<float>(state.range(1)));
    gradient.Color1(0);
    gradient.Color2(0xFF00FF);
    for (auto _ : state) {
        benchmark::DoNotOptimize(gradient.Draw(surface));
        benchmark::ClobberMemory();
    }
    state.SetLabel(std::to_string(size[0]) + "x" + std::to_string(size[1]) + " angle " +
                   std::to_string(state.range(1)));
    state.SetItemsProcessed(state.iterations() * size[0] * size[1]);
}

void BM_PlainFill(benchmark::State& state) {
    const auto& size = kSizes[state.range(0)];
    Surface surface(size[0], size[1]);
    uint32_t pixel = 0;
    for (auto _ : state) {
        surface.fill(++pixel);
        benchmark::ClobberMemory();
    }
    state.SetLabel(std::to_string(size[0]) + "x" + std::to_string(size[1]));
    state.SetItemsProcessed(state.iterations() * size[0] * size[1]);
}

void angles(benchmark::internal::Benchmark* b) {
    for (int size = 0; size < 3; ++size)
        for (int angle : {0, 45, 90, 135, 180, 225, 270, 315}) b->Args({size, angle});
}

BENCHMARK(BM_PlainFill)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GradientDraw)->Apply(angles)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
