#include <QTemporaryDir>
#include <QtTest>
#include <filesystem>
#include <fstream>
#include <set>

#include "library/photo_index.h"
#include "pixels/scene_surfaces.h"
#include "pixels/sheet_layout.h"
#include "platform/photo_library_source.h"
#include "support/photo_tree.h"
#include "support/seeded_test_random.h"

using namespace vistaloom;
namespace fs = std::filesystem;

namespace {

// A source over `folder` that notes every photo it hands over, as the frame log does.
struct Library {
    std::vector<std::string> dealt;
    std::unique_ptr<PhotoLibrarySource> source;
    SceneSurfaces surfaces;

    Library(const fs::path& folder, const fs::path& index, uint64_t seed,
            std::chrono::milliseconds rescan = std::chrono::minutes(2)) {
        PhotoLibraryOptions options{folder.string(), index.string(), rescan};
        source = std::make_unique<PhotoLibrarySource>(
            options, std::make_unique<testing::SeededTestRandom>(seed));
        source->on_dealt([this](const std::string& path) { dealt.push_back(path); });
    }
    // The scene changes once the next sheet is ready (a scene lasts far longer than that).
    void next_scene() {
        QVERIFY(source->wait_until_ready());
        QVERIFY(source->take_next(surfaces.sprite));
    }
};

std::set<std::string> as_set(const std::vector<std::string>& paths, size_t n) {
    return {paths.begin(), paths.begin() + static_cast<long>(std::min(n, paths.size()))};
}

uint32_t cell_pixel(const Surface& sheet, int32_t cell, int32_t x, int32_t y) {
    const SheetPoint at = sheet_cell_origin(cell);
    return sheet.at(at.x + x, at.y + y);
}

// A PNG of `width` x `height` whose pixels are never there: only its header is read.
QByteArray png_header_only(quint32 width, quint32 height) {
    QImage small(2, 2, QImage::Format_RGB32);
    small.fill(Qt::white);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    small.save(&buffer, "PNG");
    // IHDR starts at byte 16: width, height, then its CRC over type and data at 29.
    auto put32 = [&](int at, quint32 v) {
        for (int i = 0; i < 4; ++i) png[at + i] = char(v >> (24 - 8 * i));
    };
    put32(16, width);
    put32(20, height);
    quint32 crc = 0xffffffffu;
    for (int i = 12; i < 29; ++i) {
        crc ^= quint8(png[i]);
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    put32(29, crc ^ 0xffffffffu);
    return png;
}

}  // namespace

class PhotoLibraryTest : public QObject {
    Q_OBJECT

    QTemporaryDir root_;
    fs::path dir(const char* name) { return fs::path(root_.path().toStdString()) / name; }

  private slots:
    // A few hundred photos in nested folders with broken ones and a link loop: over fifteen
    // scene changes every readable photo comes exactly once, and no broken one ever.
    void every_photo_once_before_any_repeat() {
        const fs::path folder = dir("tree");
        const testing::PhotoTree tree = testing::make_photo_tree(folder, 300, 30, 12, true);
        Library library(folder, dir("tree.index"), 42);
        QVERIFY(library.source->load_first(library.surfaces));
        for (int scene = 1; scene < 16; ++scene) library.next_scene();
        QCOMPARE(library.dealt.size(), size_t(16 * 20));
        const std::set<std::string> readable(tree.readable.begin(), tree.readable.end());
        QCOMPARE(as_set(library.dealt, 300), readable);
        for (const std::string& broken : tree.broken)
            QVERIFY(std::count(library.dealt.begin(), library.dealt.end(), broken) == 0);
    }

    void a_photo_added_mid_cycle_comes_before_the_cycle_restarts() {
        const fs::path folder = dir("growing");
        const testing::PhotoTree tree = testing::make_photo_tree(folder, 60, 6, 0, false);
        Library library(folder, dir("growing.index"), 7, std::chrono::milliseconds(0));
        QVERIFY(library.source->load_first(library.surfaces));
        const testing::PhotoTree added =
            testing::make_photo_tree(folder / "new-album", 5, 1, 0, false);
        for (int scene = 0; scene < 4; ++scene) library.next_scene();
        // 65 photos in the cycle, dealt 100 times: the first 65 deals are all different and
        // hold the new ones.
        const std::set<std::string> cycle = as_set(library.dealt, 65);
        QCOMPARE(cycle.size(), size_t(65));
        for (const std::string& path : added.readable) QVERIFY(cycle.count(path) == 1);
    }

    // The index still lists photos that were deleted meanwhile: none of them is ever shown,
    // and the next start goes on with the cycle instead of starting over.
    void removed_photos_are_never_dealt_and_the_cycle_carries_on() {
        const fs::path folder = dir("shrinking");
        const testing::PhotoTree tree = testing::make_photo_tree(folder, 50, 5, 0, false);
        std::vector<std::string> first;
        {
            Library library(folder, dir("shrinking.index"), 3);
            QVERIFY(library.source->load_first(library.surfaces));
            first = library.dealt;
        }
        std::set<std::string> removed;
        for (const std::string& path : tree.readable) {
            if (removed.size() == 10) break;
            if (std::count(first.begin(), first.end(), path) == 0) {
                fs::remove(path);
                removed.insert(path);
            }
        }
        Library again(folder, dir("shrinking.index"), 4);
        QVERIFY(again.source->load_first(again.surfaces));
        again.next_scene();
        for (const std::string& path : again.dealt) QVERIFY(removed.count(path) == 0);
        // 40 photos, 20 shown by the first run: the next 20 are the other 20.
        std::set<std::string> both = as_set(first, 20);
        for (size_t i = 0; i < 20; ++i) both.insert(again.dealt[i]);
        QCOMPARE(both.size(), size_t(40));
    }

    void phone_photos_are_upright_and_cropped_from_the_centre() {
        const fs::path folder = dir("phone");
        // Stored 160 x 60, a quarter turn: upright 60 x 160, red above blue.
        testing::write_bytes(folder / "portrait.jpg",
                             testing::jpeg_with_orientation(testing::two_halves(160, 60), 6));
        Library library(folder, {}, 1);
        QVERIFY(library.source->load_first(library.surfaces));
        const Surface& sheet = library.surfaces.sprite;
        QCOMPARE(sheet.width, kSheetWidth);
        QCOMPARE(sheet.height, kSheetHeight);
        for (int32_t cell : {1, 20}) {
            const QColor top(cell_pixel(sheet, cell, 160, 4));
            const QColor bottom(cell_pixel(sheet, cell, 160, 235));
            QVERIFY2(top.red() > 150 && top.blue() < 100, "red on top");
            QVERIFY2(bottom.blue() > 150 && bottom.red() < 100, "blue below");
        }
    }

    // A picture whose header claims 108 megapixels is refused before it is decoded.
    void huge_pictures_are_refused() {
        const fs::path folder = dir("huge");
        testing::write_bytes(folder / "huge.png", png_header_only(12000, 9000));
        testing::write_bytes(folder / "fine.jpg",
                             testing::jpeg_with_orientation(testing::two_halves(64, 48), 1));
        Library library(folder, {}, 5);
        QVERIFY(library.source->load_first(library.surfaces));
        library.next_scene();
        for (const std::string& path : library.dealt) QVERIFY(path.ends_with("fine.jpg"));
    }

    // Nothing to show: the session falls back to the themes; an index of a folder that is
    // gone (an unplugged disk) is kept for when it is back.
    void missing_or_unreadable_folders_give_nothing_and_keep_the_index() {
        const fs::path folder = dir("unplugged");
        testing::make_photo_tree(folder, 25, 2, 0, false);
        {
            Library library(folder, dir("unplugged.index"), 9);
            QVERIFY(library.source->load_first(library.surfaces));
        }
        std::ifstream before_file(dir("unplugged.index"), std::ios::binary);
        const std::string before((std::istreambuf_iterator<char>(before_file)), {});
        QVERIFY(load_photo_index(dir("unplugged.index").string(), folder.string()));
        fs::rename(folder, dir("elsewhere"));
        {
            Library library(folder, dir("unplugged.index"), 9);
            QVERIFY(!library.source->load_first(library.surfaces));
            QVERIFY(library.dealt.empty());
        }
        std::ifstream after_file(dir("unplugged.index"), std::ios::binary);
        QCOMPARE(std::string((std::istreambuf_iterator<char>(after_file)), {}), before);

        testing::make_photo_tree(dir("broken-only"), 0, 1, 6, false);
        Library broken(dir("broken-only"), {}, 2);
        QVERIFY(!broken.source->load_first(broken.surfaces));
        Library empty(dir("no-such-folder"), {}, 2);
        QVERIFY(!empty.source->load_first(empty.surfaces));
    }
};

QTEST_GUILESS_MAIN(PhotoLibraryTest)
#include "photo_library_qt_test.moc"
