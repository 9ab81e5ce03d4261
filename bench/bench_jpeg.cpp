// Decoding a full sprite sheet (20 pictures of 320 x 240 in two columns, plus the extra
// row): the work done once per saver start before anything is shown.
#include <benchmark/benchmark.h>
#include <turbojpeg.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "pixels/jpeg_loading.h"

namespace {

// A sheet with smooth shading and fine detail, so the entropy decoder has real work.
std::string write_sheet(int width, int height) {
    std::vector<unsigned char> rgb(static_cast<size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            unsigned char* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
            p[0] = static_cast<unsigned char>(128 + 127 * std::sin(x * 0.05 + y * 0.01));
            p[1] = static_cast<unsigned char>((x ^ y) & 0xFF);
            p[2] = static_cast<unsigned char>((y * 255) / height);
        }
    }
    tjhandle handle = tjInitCompress();
    unsigned char* jpeg = nullptr;
    unsigned long size = 0;
    tjCompress2(handle, rgb.data(), width, 0, height, TJPF_RGB, &jpeg, &size, TJSAMP_420, 90, 0);
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("vistaloom_bench_sheet_" + std::to_string(getpid()) + ".jpg"))
                                 .string();
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(jpeg, 1, size, f);
    std::fclose(f);
    tjFree(jpeg);
    tjDestroy(handle);
    return path;
}

void BM_DecodeSpriteSheet(benchmark::State& state) {
    const std::string path = write_sheet(640, 2401);
    for (auto _ : state) {
        vistaloom::cDIBSection dib;
        if (!vistaloom::DecodeJpegToDib(dib, path)) state.SkipWithError("decoding failed");
        benchmark::DoNotOptimize(dib.DIBSectionBitsPtr());
    }
    state.SetLabel("640x2401, " + std::to_string(std::filesystem::file_size(path)) + " bytes");
    state.SetItemsProcessed(state.iterations() * 640 * 2401);
    std::filesystem::remove(path);
}

BENCHMARK(BM_DecodeSpriteSheet)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
