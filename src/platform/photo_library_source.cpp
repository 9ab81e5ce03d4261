#include "platform/photo_library_source.h"

#include <QImage>
#include <QSize>
#include <cstdio>
#include <future>

#include "ground/printable_text.h"
#include "ground/random_source.h"
#include "library/photo_index.h"
#include "library/photo_scan.h"
#include "pixels/scene_surfaces.h"
#include "pixels/sheet_layout.h"
#include "theme_maker/picture_reading.h"

namespace vistaloom {

namespace {

using Clock = std::chrono::steady_clock;

size_t first_sheet_readers() {
    return std::clamp<size_t>(std::thread::hardware_concurrency(), 1, 4);
}

void paste_cell(Surface& sheet, int32_t cell, const QImage& picture) {
    const SheetPoint at = sheet_cell_origin(cell);
    for (int32_t y = 0; y < kSheetCellHeight; ++y) {
        const auto* from = reinterpret_cast<const uint32_t*>(picture.constScanLine(y));
        uint32_t* to = sheet.row(at.y + y) + at.x;
        for (int32_t x = 0; x < kSheetCellWidth; ++x) to[x] = from[x] & 0x00FFFFFFu;
    }
}

}  // namespace

PhotoLibrarySource::PhotoLibrarySource(PhotoLibraryOptions options,
                                       std::unique_ptr<RandomSource> random)
    : options_(std::move(options)), random_(std::move(random)) {
    worker_ = std::thread([this] { run(); });
}

PhotoLibrarySource::~PhotoLibrarySource() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    cancel_ = true;
    changed_.notify_all();
    worker_.join();
}

void PhotoLibrarySource::run() {
    PhotoDeck deck;
    if (!options_.index_path.empty()) {
        if (auto stored = load_photo_index(options_.index_path, options_.folder))
            deck = std::move(*stored);
    }
    // With an index the first sheet comes before the scan, so the first frame does not wait
    // for a folder of thousands to be listed; the scan then merges what changed.
    if (!deck.empty()) {
        // The first frame waits for this one: it is read on every core. Later sheets are read
        // one photo at a time, beside the frames.
        std::optional<Sheet> sheet = prepare(deck, first_sheet_readers());
        if (sheet) sheet->deck_after = std::make_shared<const PhotoDeck>(deck);
        offer(std::move(sheet), false);
    }
    const bool listed = rescan(deck);
    // The index's photos are in that folder too: none of them can be read either.
    if (!listed) give_up("the photo folder " + printable(options_.folder) + " does not exist");
    std::unique_lock lock(mutex_);
    // A first start writes its index at once, before anything was shown.
    if (listed && !shown_deck_ && ready_.empty())
        shown_deck_ = std::make_shared<const PhotoDeck>(deck);
    lock.unlock();
    serve(deck);
    lock.lock();
    save_shown(lock);
}

void PhotoLibrarySource::save_shown(std::unique_lock<std::mutex>& lock) {
    if (shown_deck_ == saved_deck_ || options_.index_path.empty()) return;
    const std::shared_ptr<const PhotoDeck> deck = shown_deck_;
    lock.unlock();
    save_photo_index(options_.index_path, options_.folder, *deck);
    lock.lock();
    saved_deck_ = deck;
}

// Keeps a sheet ready for every screen, rescans now and then, and writes the index after
// each sheet handed over.
void PhotoLibrarySource::serve(PhotoDeck& deck) {
    using namespace std::chrono;
    // No interval: the folder is listed again before every sheet.
    const bool before_each_sheet = options_.rescan_interval <= milliseconds(0);
    Clock::time_point rescan_due = Clock::now() + options_.rescan_interval;
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        if (shown_deck_ != saved_deck_ && !options_.index_path.empty()) {
            save_shown(lock);
            continue;
        }
        const bool sheet_wanted = ready_.size() < wanted_ && !nothing_;
        if ((before_each_sheet && sheet_wanted) ||
            (!before_each_sheet && Clock::now() >= rescan_due)) {
            lock.unlock();
            rescan(deck);
            lock.lock();
            rescan_due = Clock::now() + options_.rescan_interval;
        }
        if (sheet_wanted) {
            // Until the first sheet is shown, somebody waits for it.
            const size_t readers = consumers_waiting_ > 0 ? first_sheet_readers() : 1;
            lock.unlock();
            std::optional<Sheet> sheet = prepare(deck, readers);
            if (sheet) sheet->deck_after = std::make_shared<const PhotoDeck>(deck);
            offer(std::move(sheet), true);
            lock.lock();
            continue;
        }
        if (before_each_sheet) {
            changed_.wait(lock);
        } else {
            changed_.wait_until(lock, rescan_due);
        }
    }
}

// Lists the folder and merges the listing into the deck. A folder that is not there (an
// unplugged disk) changes nothing: its photos keep their places for when it is back.
bool PhotoLibrarySource::rescan(PhotoDeck& deck) {
    PhotoListing listing = list_photos(options_.folder, &cancel_);
    if (!listing.folder_found || listing.cancelled) return listing.cancelled;
    merge_into_waiting_sheets(listing.photos);
    deck.merge(std::move(listing.photos), *random_);
    // With every sheet handed over, the merged deck is what was shown: it goes into the index
    // now, not only with the next sheet, so a run that ends within its first scene still
    // keeps the new photos in the cycle.
    std::lock_guard lock(mutex_);
    if (ready_.empty() && shown_deck_) shown_deck_ = std::make_shared<const PhotoDeck>(deck);
    return true;
}

// A sheet dealt before the listing carries the deck as it was then; once shown, that deck
// goes into the index, so it must know of the listing too. The merging happens outside the
// lock: the session's thread may take a sheet meanwhile, and then keeps the old deck.
void PhotoLibrarySource::merge_into_waiting_sheets(const std::vector<PhotoFile>& listing) {
    std::vector<std::shared_ptr<const PhotoDeck>> waiting;
    {
        std::lock_guard lock(mutex_);
        for (const Sheet& sheet : ready_) waiting.push_back(sheet.deck_after);
    }
    if (waiting.empty()) return;
    std::vector<std::shared_ptr<const PhotoDeck>> merged;
    for (const auto& deck : waiting) {
        auto copy = std::make_shared<PhotoDeck>(*deck);
        copy->merge(listing, *random_);
        merged.push_back(std::move(copy));
    }
    std::lock_guard lock(mutex_);
    for (Sheet& sheet : ready_) {
        for (size_t i = 0; i < waiting.size(); ++i)
            if (sheet.deck_after == waiting[i]) sheet.deck_after = merged[i];
    }
}

// Twenty photos dealt, read and cropped to their cells, `readers` at a time. A photo that
// cannot be read is passed over; when a whole deck's worth fail one after the other, none can
// be read.
std::optional<PhotoLibrarySource::Sheet> PhotoLibrarySource::prepare(PhotoDeck& deck,
                                                                     size_t readers) {
    Sheet sheet;
    sheet.pixels.resize(kSheetWidth, kSheetHeight);
    size_t failures_in_a_row = 0;
    const QSize cell_size(kSheetCellWidth, kSheetCellHeight);
    int32_t cell = 1;
    while (cell <= kSheetCells) {
        std::vector<std::string> paths;
        for (size_t i = 0; i < readers && cell + int32_t(i) <= kSheetCells; ++i) {
            const PhotoFile* photo = deck.deal(*random_);
            if (!photo) return std::nullopt;
            paths.push_back(photo->path);
        }
        std::vector<std::future<PictureRead>> reads;
        for (const std::string& path : paths)
            reads.push_back(std::async(
                paths.size() > 1 ? std::launch::async : std::launch::deferred, read_picture, path,
                cell_size, PictureFit::cover, &cancel_, kMaxPhotoPixels));
        for (size_t i = 0; i < paths.size(); ++i) {
            PictureRead read = reads[i].get();
            if (read.image.isNull()) {
                ++failures_in_a_row;
                continue;
            }
            paste_cell(sheet.pixels, cell++, read.image);
            sheet.paths.push_back(paths[i]);
            failures_in_a_row = 0;
        }
        if (cancel_ || failures_in_a_row >= deck.size()) return std::nullopt;
    }
    return sheet;
}

void PhotoLibrarySource::offer(std::optional<Sheet> sheet, bool last_chance) {
    if (!sheet) {
        if (last_chance && !cancel_)
            give_up("no photo in " + printable(options_.folder) + " can be read");
        return;
    }
    {
        std::lock_guard lock(mutex_);
        ready_.push_back(std::move(*sheet));
    }
    changed_.notify_all();
}

void PhotoLibrarySource::give_up(std::string why) {
    {
        std::lock_guard lock(mutex_);
        nothing_ = true;
        if (why_nothing_.empty()) why_nothing_ = std::move(why);
    }
    changed_.notify_all();
}

bool PhotoLibrarySource::wait_until_ready() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !ready_.empty() || nothing_; });
    return !ready_.empty();
}

void PhotoLibrarySource::hand_over(Sheet& sheet, Surface& target) {
    target = std::move(sheet.pixels);
    if (on_dealt_)
        for (const std::string& path : sheet.paths) on_dealt_(path);
}

bool PhotoLibrarySource::load_first(SceneSurfaces& surfaces) {
    std::unique_lock lock(mutex_);
    wanted_ = std::max<size_t>(1, ++consumers_);
    ++consumers_waiting_;
    changed_.notify_all();
    changed_.wait(lock, [this] { return !ready_.empty() || nothing_; });
    --consumers_waiting_;
    if (ready_.empty()) {
        std::fprintf(stderr, "vistaloom: %s; showing the installed themes\n", why_nothing_.c_str());
        return false;
    }
    Sheet sheet = std::move(ready_.front());
    ready_.pop_front();
    shown_deck_ = sheet.deck_after;
    lock.unlock();
    changed_.notify_all();
    hand_over(sheet, surfaces.sprite);
    // As a theme's sheet leaves it: the scene set-up sizes `work` afterwards.
    surfaces.work = surfaces.sprite;
    return true;
}

bool PhotoLibrarySource::take_next(Surface& target) {
    std::unique_lock lock(mutex_);
    if (ready_.empty()) return false;
    Sheet sheet = std::move(ready_.front());
    ready_.pop_front();
    shown_deck_ = sheet.deck_after;
    lock.unlock();
    changed_.notify_all();
    hand_over(sheet, target);
    return true;
}

}  // namespace vistaloom
