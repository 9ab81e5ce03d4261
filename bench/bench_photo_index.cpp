// The photo library's index work for 20,000 photos in 200 folders: listing the folder tree,
// merging the listing into a deck and writing the index (a first start), and reading the
// index back (every later start). The files hold a few bytes: the listing never opens them.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

#include "library/photo_deck.h"
#include "library/photo_index.h"
#include "library/photo_scan.h"
#include "support/seeded_test_random.h"
#include "support/temp_folder.h"

namespace {

using namespace vistaloom;
namespace fs = std::filesystem;

constexpr int kPhotos = 20000;
constexpr int kFolders = 200;

const testing::TempFolder& library() {
    static testing::TempFolder folder;
    static bool made = false;
    if (!made) {
        for (int i = 0; i < kPhotos; ++i) {
            const fs::path dir = folder.path() / ("year" + std::to_string(2000 + i % 20)) /
                                 ("trip-" + std::to_string(i % kFolders));
            if (i < kFolders) fs::create_directories(dir);
            std::ofstream(dir / ("IMG_" + std::to_string(i) + ".jpg")) << "x";
        }
        made = true;
    }
    return folder;
}

void BM_FirstIndex(benchmark::State& state) {
    const testing::TempFolder& folder = library();
    const std::string index = (folder.path().parent_path() / "bench-photos.index").string();
    for (auto _ : state) {
        testing::SeededTestRandom random(1);
        PhotoListing listing = list_photos(folder.path().string());
        PhotoDeck deck;
        deck.merge(std::move(listing.photos), random);
        benchmark::DoNotOptimize(save_photo_index(index, folder.path().string(), deck));
    }
    fs::remove(index);
}
BENCHMARK(BM_FirstIndex)->Unit(benchmark::kMillisecond);

void BM_Rescan(benchmark::State& state) {
    const testing::TempFolder& folder = library();
    testing::SeededTestRandom random(1);
    PhotoDeck deck;
    deck.merge(list_photos(folder.path().string()).photos, random);
    for (auto _ : state) deck.merge(list_photos(folder.path().string()).photos, random);
}
BENCHMARK(BM_Rescan)->Unit(benchmark::kMillisecond);

void BM_LoadIndex(benchmark::State& state) {
    const testing::TempFolder& folder = library();
    const std::string index = (folder.path().parent_path() / "bench-photos-load.index").string();
    testing::SeededTestRandom random(1);
    PhotoDeck deck;
    deck.merge(list_photos(folder.path().string()).photos, random);
    save_photo_index(index, folder.path().string(), deck);
    state.counters["index_bytes"] = double(fs::file_size(index));
    for (auto _ : state) benchmark::DoNotOptimize(load_photo_index(index, folder.path().string()));
    fs::remove(index);
}
BENCHMARK(BM_LoadIndex)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
