#pragma once
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "library/photo_deck.h"
#include "pixels/picture_source.h"
#include "pixels/surface.h"

namespace vistaloom {

class RandomSource;

// No photo larger than this is decoded, by what its header claims: a 100-megapixel picture
// already takes 400 MB once decoded, for a cell of 320 x 240.
inline constexpr int64_t kMaxPhotoPixels = int64_t{100} * 1000 * 1000;

struct PhotoLibraryOptions {
    std::string folder;
    // Where the index lives (empty: none is kept, and every start scans first).
    std::string index_path;
    // How often the folder is listed again while the saver runs, to pick up new photos.
    std::chrono::milliseconds rescan_interval{std::chrono::minutes(2)};
};

// Pictures dealt from a folder of photos and its subfolders, twenty per scene.
//
// One worker thread does everything slow: it reads the index, lists the folder, merges the
// two and writes the index back, and reads, turns upright and crops the next scene's photos
// while the current scene is on screen. The session's thread only swaps a finished sheet in.
// The index is written as of the last sheet handed over, so what it says was dealt was
// shown, and a run that ends takes no unseen photo out of the cycle.
class PhotoLibrarySource : public PictureSource {
  public:
    PhotoLibrarySource(PhotoLibraryOptions options, std::unique_ptr<RandomSource> random);
    ~PhotoLibrarySource() override;
    PhotoLibrarySource(const PhotoLibrarySource&) = delete;
    PhotoLibrarySource& operator=(const PhotoLibrarySource&) = delete;

    // Waits for the first sheet (from the index: the time to read twenty photos). False, with
    // one line on stderr, when the folder is missing or holds no photo that can be read.
    bool load_first(SceneSurfaces& surfaces) override;
    bool take_next(Surface& sheet) override;

    // Called on the session's thread with each photo's path as its sheet is handed over.
    void on_dealt(std::function<void(const std::string&)> observer) {
        on_dealt_ = std::move(observer);
    }
    // Blocks until a sheet is ready (true) or the library turned out to have none (false), for
    // callers that have nothing else to do meanwhile: tests and benchmarks.
    bool wait_until_ready();

  private:
    struct Sheet {
        Surface pixels;
        std::vector<std::string> paths;
        // The deck just after this sheet was dealt: what the index says once it was shown.
        std::shared_ptr<const PhotoDeck> deck_after;
    };
    void run();
    void serve(PhotoDeck& deck);
    void save_shown(std::unique_lock<std::mutex>& lock);
    bool rescan(PhotoDeck& deck);
    void merge_into_waiting_sheets(const std::vector<PhotoFile>& listing);
    std::optional<Sheet> prepare(PhotoDeck& deck, size_t readers);
    void offer(std::optional<Sheet> sheet, bool last_chance);
    void give_up(std::string why);
    void hand_over(Sheet& sheet, Surface& target);

    PhotoLibraryOptions options_;
    std::unique_ptr<RandomSource> random_;  // the worker's alone
    std::function<void(const std::string&)> on_dealt_;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Sheet> ready_;
    size_t wanted_ = 1;  // sheets kept ready: one per screen that shows them
    size_t consumers_ = 0;
    size_t consumers_waiting_ = 0;  // in load_first: their first frame waits
    bool nothing_ = false;          // no photo can be had: missing folder, none readable
    bool stopping_ = false;
    std::string why_nothing_;
    std::shared_ptr<const PhotoDeck> shown_deck_;  // as of the last sheet handed over
    std::shared_ptr<const PhotoDeck> saved_deck_;  // what the index file holds
    std::atomic<bool> cancel_{false};
    std::thread worker_;
};

}  // namespace vistaloom
