// A long run of the headless scene: FRAMES frames (default 1,000,000) at WxH (default
// 1920x1080) with ten sprites, 20 frames per simulated second, so the background changes
// every 700 frames. Prints the resident memory after the first frame, at every tenth of the
// run and at the end; a saver that runs all night must end where it started.
// Usage: long_run_scene [FRAMES] [WxH]
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench_seams.h"
#include "compose/scene_runner.h"
#include "support/headless_scene.h"

namespace {

using namespace vistaloom;


// Resident set size in kB, from /proc (0 where there is none).
long resident_kb() {
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    if (!statm) return 0;
    long pages = 0, resident = 0;
    const int got = std::fscanf(statm, "%ld %ld", &pages, &resident);
    std::fclose(statm);
    return got == 2 ? resident * 4 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    const int64_t frames = argc > 1 ? std::atoll(argv[1]) : 1000000;
    int width = 1920, height = 1080;
    if (argc > 2 && std::sscanf(argv[2], "%dx%d", &width, &height) != 2) {
        std::fprintf(stderr, "usage: long_run_scene [FRAMES] [WxH]\n");
        return 2;
    }
    bench::TenSpriteScene scene(width, height);
    scene.runner.start();
    scene.frame();
    const long first_kb = resident_kb();
    std::printf("frame %lld: resident %ld kB\n", 1LL, first_kb);
    const int64_t report_every = frames >= 10 ? frames / 10 : 1;
    for (int64_t frame = 2; frame <= frames; ++frame) {
        scene.frame();
        if (frame % report_every == 0 || frame == frames) {
            std::printf("frame %lld: resident %ld kB, scene changes %lld\n",
                        static_cast<long long>(frame), resident_kb(),
                        static_cast<long long>(scene.runner.totals().background_changes));
            std::fflush(stdout);
        }
    }
    const long last_kb = resident_kb();
    std::printf("resident at start %ld kB, at end %ld kB, growth %ld kB\n", first_kb, last_kb,
                last_kb - first_kb);
    return 0;
}
