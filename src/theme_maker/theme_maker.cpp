#include "theme_maker/theme_maker.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <algorithm>
#include <deque>
#include <filesystem>
#include <future>
#include <map>
#include <set>
#include <thread>

#include "theme_files/theme_limits.h"
#include "theme_files/theme_names.h"
#include "theme_files/theme_pack.h"
#include "theme_maker/picture_folder.h"
#include "theme_maker/picture_reading.h"
#include "theme_maker/sprite_sheet.h"

namespace vistaloom {

namespace {

namespace fs = std::filesystem;

constexpr int kJpegQuality = 90;

std::string file_name(const std::string& path) {
    return fs::path(path).filename().string();
}

std::string joined(const std::vector<std::string>& names) {
    std::string text;
    for (const auto& name : names) text += (text.empty() ? "" : ", ") + name;
    return text;
}

bool write_bytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return !bytes.isEmpty() && file.open(QIODevice::WriteOnly) &&
           file.write(bytes) == bytes.size() && file.flush();
}

class Maker {
  public:
    Maker(const ThemeMakeRequest& request, const ThemeMakeProgressFn& progress,
          const std::atomic<bool>* cancel)
        : request_(request), progress_(progress), cancel_(cancel) {}

    ThemeMakeResult run();

  private:
    bool cancelled() const { return cancel_ != nullptr && cancel_->load(); }
    void report(int done, int total, const std::string& step) const {
        if (progress_) progress_({done, total, step});
    }
    std::string request_problem() const;
    bool fill_cells(const std::vector<std::string>& pictures, std::vector<QImage>& cells);
    void describe_choice(size_t readable, const std::vector<std::string>& picture_names);
    std::vector<std::string> usable_music(const std::vector<std::string>& music);
    bool write_theme(const std::vector<QImage>& cells, const std::vector<std::string>& music);
    ThemeMakeResult failed(const std::string& error) {
        result_.status = ThemeMakeResult::Status::failed;
        result_.error = error;
        return result_;
    }
    // Records why writing failed; false, so that it ends the step.
    bool fail(const std::string& error) {
        result_.error = error;
        return false;
    }
    ThemeMakeResult stopped() {
        result_.status = ThemeMakeResult::Status::cancelled;
        return result_;
    }

    const ThemeMakeRequest& request_;
    const ThemeMakeProgressFn& progress_;
    const std::atomic<bool>* cancel_;
    ThemeMakeResult result_;
    int steps_done_ = 0;
};

std::string Maker::request_problem() const {
    const fs::path base(request_.base_path);
    std::string problem = theme_name_problem(base.filename().string());
    if (!problem.empty()) return problem;
    std::error_code error;
    const fs::path themes = base.has_parent_path() ? base.parent_path() : fs::path(".");
    if (!fs::is_directory(themes, error)) return "no themes folder " + themes.string();
    if (!request_.replace && theme_exists(request_.base_path))
        return "a theme named " + base.filename().string() + " is there already";
    return {};
}

// Reads `paths` on a few threads at once (photos decode independently) and hands each
// result to `take` on this thread, in order. Stops early when `take` returns false; `cancel`
// also ends the reads still running, so nothing waits for a slow picture.
template <typename Take>
bool read_in_order(const std::vector<std::string>& paths, Take take,
                   const std::atomic<bool>* cancel) {
    const QSize cell(kSheetCellWidth, kSheetCellHeight);
    const size_t workers = std::clamp<size_t>(std::thread::hardware_concurrency(), 1, 4);
    std::deque<std::future<PictureRead>> pending;
    size_t next = 0;
    for (size_t i = 0; i < paths.size(); ++i) {
        for (; next < paths.size() && pending.size() < workers; ++next)
            pending.push_back(std::async(std::launch::async, read_picture, paths[next], cell,
                                         PictureFit::cover, cancel, int64_t{0}));
        PictureRead photo = pending.front().get();
        pending.pop_front();
        // Reads still running are waited for as `pending` goes.
        if (!take(i, std::move(photo))) return false;
    }
    return true;
}

// Reads the pictures the spread picks. One that fails is left out and the spread is worked
// out again over the rest, so a broken file never leaves a hole in the sheet.
bool Maker::fill_cells(const std::vector<std::string>& pictures, std::vector<QImage>& cells) {
    std::map<size_t, QImage> read;
    std::set<size_t> broken;
    for (;;) {
        std::vector<size_t> readable;
        for (size_t i = 0; i < pictures.size(); ++i)
            if (broken.count(i) == 0) readable.push_back(i);
        const std::vector<size_t> chosen = spread_pictures(readable.size(), kSheetCells);
        std::vector<size_t> wanted;
        for (size_t pick : std::set<size_t>(chosen.begin(), chosen.end()))
            if (read.count(readable[pick]) == 0) wanted.push_back(readable[pick]);
        std::vector<std::string> paths;
        for (size_t index : wanted) paths.push_back(pictures[index]);
        const int total = steps_done_ + static_cast<int>(wanted.size()) + 2;
        size_t failures = 0;
        auto take = [&](size_t i, PictureRead photo) {
            if (cancelled()) return false;
            report(steps_done_++, total, "read " + file_name(paths[i]));
            if (photo.image.isNull()) {
                result_.skipped.push_back(file_name(paths[i]) + ": " + photo.error.toStdString());
                broken.insert(wanted[i]);
                ++failures;
            } else {
                read[wanted[i]] = std::move(photo.image);
            }
            return true;
        };
        if (!read_in_order(paths, take, cancel_) || cancelled()) return false;
        if (failures != 0) continue;
        for (size_t pick : chosen) {
            cells.push_back(read[readable[pick]]);
            result_.pictures.push_back(file_name(pictures[readable[pick]]));
        }
        describe_choice(readable.size(), result_.pictures);
        return true;
    }
}

void Maker::describe_choice(size_t readable, const std::vector<std::string>& picture_names) {
    const size_t places = kSheetCells;
    if (readable == 0 || readable == places) return;
    if (readable < places) {
        result_.notes.push_back(
            std::to_string(readable) + (readable == 1 ? " picture" : " pictures") + " for " +
            std::to_string(places) + " places: repeated in order to fill the sheet");
    } else {
        result_.notes.push_back(std::to_string(readable) + " pictures for " +
                                std::to_string(places) + " places: took " + joined(picture_names));
    }
}

std::vector<std::string> Maker::usable_music(const std::vector<std::string>& music) {
    std::vector<std::string> usable;
    for (const auto& path : music) {
        std::string error;
        // Two items are the pictures; the reader takes no more than kMaxThemeItems.
        if (usable.size() + 2 >= static_cast<size_t>(kMaxThemeItems)) {
            result_.skipped.push_back(file_name(path) + ": a theme holds at most " +
                                      std::to_string(kMaxThemeItems) + " items");
            continue;
        }
        if (stored_item_name(path, error).empty()) {
            result_.skipped.push_back(file_name(path) + ": " + error);
            continue;
        }
        usable.push_back(path);
        result_.music.push_back(file_name(path));
    }
    return usable;
}

bool Maker::write_theme(const std::vector<QImage>& cells, const std::vector<std::string>& music) {
    const int total = steps_done_ + 2;
    report(steps_done_++, total, "building the sprite sheet");
    QTemporaryDir staging;
    if (!staging.isValid())
        return fail("cannot make a staging folder: " + staging.errorString().toStdString());
    ThemePackRequest pack;
    pack.base_path = request_.base_path;
    pack.sample_path = staging.filePath(QStringLiteral("sample.jpg")).toStdString();
    pack.sheet_path = staging.filePath(QStringLiteral("sheet.jpg")).toStdString();
    pack.music_paths = music;
    // The first picture's cell is a sample of the size the configuration window shows.
    if (!write_bytes(QString::fromStdString(pack.sample_path),
                     jpeg_bytes(cells[0], kJpegQuality)) ||
        !write_bytes(QString::fromStdString(pack.sheet_path),
                     jpeg_bytes(compose_sprite_sheet(cells), kJpegQuality)))
        return fail("cannot write the pictures into " + staging.path().toStdString());
    if (cancelled()) return false;
    report(steps_done_++, total, "writing " + file_name(request_.base_path));
    const std::string error = pack_theme(pack);
    return error.empty() || fail(error);
}

ThemeMakeResult Maker::run() {
    if (std::string problem = request_problem(); !problem.empty()) return failed(problem);
    PictureFolder folder = list_picture_folder(request_.picture_folder);
    if (!folder.error.empty()) return failed(folder.error);
    for (const auto& name : folder.ignored)
        result_.skipped.push_back(name + ": not a picture or a music file");
    std::vector<QImage> cells;
    if (!fill_cells(folder.pictures, cells)) return stopped();
    if (cells.empty()) return failed("no picture in " + request_.picture_folder + " could be read");
    const std::vector<std::string> music = usable_music(folder.music);
    if (cancelled()) return stopped();
    if (!write_theme(cells, music))
        return result_.error.empty() ? stopped() : failed(result_.error);
    // A cancel that came while the files were written still means "I did not want it".
    if (cancelled()) {
        std::error_code ignored;
        fs::remove(request_.base_path + ".icf", ignored);
        fs::remove(request_.base_path + ".img", ignored);
        return stopped();
    }
    report(steps_done_, steps_done_, "done");
    result_.status = ThemeMakeResult::Status::made;
    return result_;
}

}  // namespace

ThemeMakeResult make_theme(const ThemeMakeRequest& request, const ThemeMakeProgressFn& progress,
                           const std::atomic<bool>* cancel) {
    return Maker(request, progress, cancel).run();
}

}  // namespace vistaloom
