// Makes themes from painted test photos and reads them back the way the saver does: the
// sheet through the saver's own JPEG reader and cell table, every cell checked.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <atomic>

#include "pixels/jpeg_loading.h"
#include "pixels/theme_verify.h"
#include "sprites/sprite_setup.h"
#include "support/scene_parts.h"
#include "support/temp_user_folders.h"
#include "theme_files/theme_files.h"
#include "theme_maker/test_photos.h"
#include "theme_maker/theme_maker.h"

using namespace vistaloom;
using vistaloom::testing::photo_colours;
using vistaloom::testing::PhotoColours;

namespace {

struct Made {
    ThemeMakeResult result;
    std::vector<std::string> problems;  // what verify says
    testing::SceneParts parts;          // the sheet on `sprite`, the cell table filled
    ThemeItems items;
};

bool near(QRgb pixel, const QColor& want, int tolerance = 40) {
    return std::abs(qRed(pixel) - want.red()) <= tolerance &&
           std::abs(qGreen(pixel) - want.green()) <= tolerance &&
           std::abs(qBlue(pixel) - want.blue()) <= tolerance;
}

class ThemeMakerTest : public QObject {
    Q_OBJECT

    QTemporaryDir root_;
    int photo_count_ = 0;

    QString photos() const { return root_.filePath("photos"); }
    QString themes() const { return root_.filePath("themes"); }

    void save(const QString& name, const QByteArray& bytes) {
        QFile file(QDir(photos()).filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    // A painted photo; returns its colours.
    PhotoColours photo(const QString& name, QSize size, const char* format, int orientation = 1) {
        const PhotoColours colours = photo_colours(photo_count_++);
        const QImage stored =
            testing::stored_for(testing::upright_photo(size, colours), orientation);
        QByteArray bytes = testing::encoded(stored, format);
        if (orientation != 1) bytes = testing::with_exif_orientation(bytes, orientation);
        save(name, bytes);
        return colours;
    }

    std::unique_ptr<Made> make(const std::atomic<bool>* cancel = nullptr,
                               const ThemeMakeProgressFn& progress = {}) {
        auto made = std::make_unique<Made>();
        ThemeMakeRequest request{(themes() + "/Mine").toStdString(), photos().toStdString()};
        made->result = make_theme(request, progress, cancel);
        if (made->result.status != ThemeMakeResult::Status::made) return made;
        testing::TempUserFolders folders(root_.filePath("runtime").toStdString());
        made->problems = verify_theme(request.base_path, folders);
        read_theme_info(made->items, request.base_path, folders);
        load_theme_pictures(made->parts.surfaces, made->items, themes().toStdString() + "/",
                            "Mine");
        made->parts.settings.borders_on = false;
        setup_sprites(made->parts.scene);
        remove_temp_items(made->items);
        return made;
    }

    // Every sampled point of cell n shows the crop of the photo painted in `colours`.
    static bool cell_shows(const Made& made, int n, const PhotoColours& colours, int margin = 6) {
        const CellRow& cell = made.parts.tables.cell_table[static_cast<size_t>(n)];
        const Surface& sheet = made.parts.surfaces.sprite;
        const int xs[] = {margin, 80, 160 - margin, 160 + margin, 240, 319 - margin};
        const int ys[] = {margin, 60, 120 - margin, 120 + margin, 180, 239 - margin};
        for (int x : xs) {
            for (int y : ys) {
                const QColor& want = x < 160 && y < 120 ? colours.quarter : colours.centre;
                const QRgb got = sheet.at(cell.src_x + x, cell.src_y + y);
                if (!near(got, want)) {
                    qWarning("cell %d at (%d, %d): %06x, want %06x", n, x, y, got & 0xFFFFFF,
                             want.rgb() & 0xFFFFFF);
                    return false;
                }
            }
        }
        return true;
    }

    QStringList theme_files() const { return QDir(themes()).entryList(QDir::Files | QDir::Hidden); }

  private slots:
    void init() {
        QVERIFY(root_.isValid());
        QDir(photos()).removeRecursively();
        QDir(themes()).removeRecursively();
        QDir().mkpath(photos());
        QDir().mkpath(themes());
        photo_count_ = 0;
        // Staging folders go here, so the tests can see that none is left.
        qputenv("TMPDIR", root_.filePath("tmp").toUtf8());
        QDir(root_.filePath("tmp")).removeRecursively();
        QDir().mkpath(root_.filePath("tmp"));
    }

    void oddSizesAndFormatsShowOnlyTheirCentres() {
        std::vector<std::pair<PhotoColours, int>> shots;  // colours, margin
        shots.push_back({photo("a_wide.png", {1600, 200}, "png"), 6});
        shots.push_back({photo("b_tall.bmp", {150, 900}, "bmp"), 6});
        shots.push_back({photo("c_tiny.png", {8, 6}, "png"), 30});
        shots.push_back({photo("d_huge.jpg", {8000, 6000}, "jpeg"), 6});
        shots.push_back({photo("e_exact.bmp", {320, 240}, "bmp"), 6});
        shots.push_back({photo("f_photo.jpg", {4000, 3000}, "jpeg"), 6});
        auto made = make();
        QCOMPARE(made->result.status, ThemeMakeResult::Status::made);
        QVERIFY(made->problems.empty());
        QCOMPARE(made->result.notes.size(), size_t(1));
        for (int n = 1; n <= 20; ++n) {
            const auto& [colours, margin] = shots[static_cast<size_t>((n - 1) % 6)];
            QVERIFY2(cell_shows(*made, n, colours, margin), qPrintable(QString::number(n)));
        }
        // The line above the first row is not part of any cell.
        QCOMPARE(made->parts.surfaces.sprite.width, 640);
        QCOMPARE(made->parts.surfaces.sprite.height, 2401);
    }

    void exifOrientationIsHonoured() {
        const int orientations[] = {1, 2, 3, 6, 8};
        std::vector<PhotoColours> shots;
        for (int o : orientations)
            shots.push_back(photo(QString("turned%1.jpg").arg(o), {600, 300}, "jpeg", o));
        auto made = make();
        QCOMPARE(made->result.status, ThemeMakeResult::Status::made);
        for (size_t i = 0; i < shots.size(); ++i)
            QVERIFY2(cell_shows(*made, static_cast<int>(i) + 1, shots[i]),
                     qPrintable(QString("orientation %1").arg(orientations[i])));
    }

    void picturesFillTwentyCellsInNameOrder_data() {
        QTest::addColumn<int>("count");
        QTest::newRow("one") << 1;
        QTest::newRow("twenty") << 20;
        QTest::newRow("twenty-five") << 25;
    }
    void picturesFillTwentyCellsInNameOrder() {
        QFETCH(int, count);
        std::vector<PhotoColours> shots;
        // Numbered without leading zeros: p2 must still come before p10.
        for (int i = 1; i <= count; ++i)
            shots.push_back(photo(QString("p%1.png").arg(i), {64, 48}, "png"));
        auto made = make();
        QCOMPARE(made->result.status, ThemeMakeResult::Status::made);
        QCOMPARE(made->result.pictures.size(), size_t(20));
        for (int n = 1; n <= 20; ++n) {
            // 25 pictures: spread from the first to the last.
            const int index = count == 25 ? ((n - 1) * 24 + 9) / 19 : (n - 1) % count;
            QCOMPARE(made->result.pictures[static_cast<size_t>(n - 1)],
                     "p" + std::to_string(index + 1) + ".png");
            QVERIFY(cell_shows(*made, n, shots[static_cast<size_t>(index)], 10));
        }
        QCOMPARE(made->result.notes.empty(), count == 20);
        if (count == 25)
            QVERIFY(made->result.notes[0].find("p1.png, p2.png, p4.png") != std::string::npos);
    }

    void brokenPicturesAreSkippedAndReplaced() {
        save("p00.jpg", "not a picture at all");
        std::vector<PhotoColours> shots;
        for (int i = 1; i <= 20; ++i)
            shots.push_back(photo(QString("p%1.png").arg(i), {64, 48}, "png"));
        save("readme.txt", "holiday 2024");
        auto made = make();
        QCOMPARE(made->result.status, ThemeMakeResult::Status::made);
        QCOMPARE(made->result.skipped.size(), size_t(2));
        const std::string skipped = made->result.skipped[0] + "\n" + made->result.skipped[1];
        QVERIFY(skipped.find("p00.jpg: ") != std::string::npos);
        QVERIFY(skipped.find("readme.txt: ") != std::string::npos);
        QVERIFY(made->result.notes.empty());  // the 20 good ones fill the sheet exactly
        for (int n = 1; n <= 20; ++n)
            QVERIFY(cell_shows(*made, n, shots[static_cast<size_t>(n - 1)], 10));
    }

    void musicFollowsThePicturesInNameOrder() {
        photo("a.jpg", {400, 300}, "jpeg");
        // Headers the saver's check takes (the theme is verified after it is made).
        const QByteArray midi("MThd\0\0\0\6\0\0\0\1\0\x60MTrk\0\0\0\4\0\xFF\x2F\0", 22);
        const QByteArray wav("RIFF\x28\0\0\0WAVEfmt \x10\0\0\0\1\0\1\0\x44\xAC\0\0"
                             "\x44\xAC\0\0\1\0\x08\0data\4\0\0\0\x80\x80\x80\x80", 48);
        const QByteArray mp3("\xFF\xFB\x90\x64\0\0\0\0", 8);
        save("b.wav", wav);
        save("a.mid", midi);
        save("c.MP3", mp3);
        save("d.midi", midi);
        save("e\"quote.wav", wav);
        auto made = make();
        QCOMPARE(made->result.status, ThemeMakeResult::Status::made);
        QCOMPARE(made->items.item_count, 6);
        QCOMPARE(made->items.music_count, 4.0);
        QCOMPARE(made->items.item_names[3], std::string("a.mid"));
        QCOMPARE(made->items.item_names[4], std::string("b.wav"));
        QCOMPARE(made->items.item_names[5], std::string("c.MP3"));
        QCOMPARE(made->items.item_names[6], std::string("d.mid"));
        QCOMPARE(made->result.skipped.size(), size_t(1));
        QVERIFY(made->problems.empty());
    }

    void noPictureIsAnError() {
        save("tune.mid", "MThd");
        save("notes.txt", "x");
        auto made = make();
        QCOMPARE(made->result.status, ThemeMakeResult::Status::failed);
        QVERIFY(made->result.error.find("no picture") != std::string::npos);
        QVERIFY(theme_files().isEmpty());
        QDir(photos()).removeRecursively();
        QCOMPARE(make()->result.status, ThemeMakeResult::Status::failed);
        QVERIFY(theme_files().isEmpty());
    }

    void cancellingAtAnyStepLeavesNothing_data() {
        QTest::addColumn<int>("at_step");
        QTest::newRow("first picture") << 0;
        QTest::newRow("later picture") << 3;
        QTest::newRow("building the sheet") << 6;
        QTest::newRow("writing the theme") << 7;
    }
    void cancellingAtAnyStepLeavesNothing() {
        QFETCH(int, at_step);
        for (int i = 0; i < 6; ++i) photo(QString("p%1.png").arg(i), {64, 48}, "png");
        std::atomic<bool> cancel{false};
        int steps = 0;
        auto made = make(&cancel, [&](const ThemeMakeProgress& p) {
            if (p.done == at_step) cancel = true;
            steps = p.total;
        });
        QCOMPARE(steps, 8);
        QCOMPARE(made->result.status, ThemeMakeResult::Status::cancelled);
        QVERIFY(theme_files().isEmpty());
        QVERIFY(QDir(root_.filePath("tmp")).isEmpty());
    }

    void existingThemesAndBadNamesAreRefused() {
        photo("a.png", {64, 48}, "png");
        QFile(themes() + "/Mine.ICF").open(QIODevice::WriteOnly);
        QCOMPARE(make()->result.status, ThemeMakeResult::Status::failed);
        QCOMPARE(theme_files(), QStringList{"Mine.ICF"});
        ThemeMakeRequest replace{(themes() + "/Mine").toStdString(), photos().toStdString(), true};
        QCOMPARE(make_theme(replace, {}, nullptr).status, ThemeMakeResult::Status::made);
        ThemeMakeRequest bad{(themes() + "/.hidden").toStdString(), photos().toStdString()};
        QCOMPARE(make_theme(bad, {}, nullptr).status, ThemeMakeResult::Status::failed);
    }
};

}  // namespace

QTEST_GUILESS_MAIN(ThemeMakerTest)
#include "theme_maker_qt_test.moc"
