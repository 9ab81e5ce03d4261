// The full-screen saver on two screens of different sizes, the second at 200%, on Qt's
// offscreen platform configured with those screens.
#include <QApplication>
#include <QFile>
#include <QImage>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "platform/screen_metrics.h"
#include "platform/seeded_random.h"
#include "platform/steady_clock.h"
#include "saver/saver_session.h"
#include "support/memory_registry.h"
#include "support/recording_desktop.h"
#include "support/recording_media.h"
#include "support/temp_user_folders.h"
#include "ui/saver_screens.h"

using namespace vistaloom;

namespace {

// The offscreen platform takes geometry in device-independent pixels and scales by "dpr" on
// its own, as a 200% laptop panel does: the second screen is 400 x 300 to Qt and 800 x 600
// real pixels.
constexpr const char* kScreens = R"({"screens": [
  {"name": "left", "x": 0, "y": 0, "width": 640, "height": 480, "logicalDpi": 96, "dpr": 1},
  {"name": "right", "x": 640, "y": 0, "width": 400, "height": 300, "logicalDpi": 96, "dpr": 2}
]})";

struct Rig {
    QTemporaryDir runtime;
    SaverSettings settings;
    StartupValues startup;
    SteadyClock clock;
    SeededRandom random{7};
    testing::RecordingDesktop desktop;
    testing::RecordingMedia media;
    testing::RecordingMedia silent;
    testing::MemoryRegistry registry;
    testing::TempUserFolders folders{runtime.path().toStdString()};
    std::unique_ptr<SaverScreens> screens;

    explicit Rig(SaverSessionOptions session_options = {}, FrmMainOptions window_options = {}) {
        startup.install_path = std::string(VISTALOOM_TEST_INPUTS) + "/themes/";
        settings.active_module = "Valid";
        settings.frame_rate = "60";
        settings.show_time = "0";
        screens = std::make_unique<SaverScreens>(SaverScreensParts{
            settings, startup, SaverSeams{clock, random, desktop, media, registry, folders}, silent,
            window_options, session_options});
    }
};

QImage device_shot(FrmMain& window) {
    return window.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

}  // namespace

class SaverScreensTest : public QObject {
    Q_OBJECT
  private slots:
    void each_screen_gets_a_scene_of_its_real_pixel_size() {
        QCOMPARE(QGuiApplication::screens().size(), 2);
        Rig rig;
        rig.screens->open();
        const auto windows = rig.screens->windows();
        const auto sessions = rig.screens->sessions();
        QCOMPARE(windows.size(), size_t{2});
        QTRY_VERIFY(sessions[0]->frames_drawn() > 2 && sessions[1]->frames_drawn() > 2);

        const QList<QScreen*> screens = QGuiApplication::screens();
        QCOMPARE(windows[0]->geometry(), screens[0]->geometry());
        QCOMPARE(windows[1]->geometry(), screens[1]->geometry());
        QCOMPARE(sessions[0]->surfaces().scene_width, 640);
        QCOMPARE(sessions[0]->surfaces().scene_height, 480);
        QCOMPARE(sessions[1]->surfaces().scene_width, 800);
        QCOMPARE(sessions[1]->surfaces().scene_height, 600);
        // 1440 twips per inch over 192 real pixels per inch, rounded half to even.
        QCOMPARE(screen_twips_per_pixel(screens[1]).x, int16_t{8});
        QCOMPARE(screen_twips_per_pixel(screens[0]).x, int16_t{15});

        // Sharp: every device pixel on the 200% screen is the scene's own pixel.
        const QImage shot = device_shot(*windows[1]);
        QCOMPARE(shot.size(), QSize(800, 600));
        const Surface& scene = sessions[1]->surfaces().ascreen;
        int differ = 0;
        for (int y = 100; y < 500; y += 7)
            for (int x = 0; x < 800; x += 3)
                if ((shot.pixel(x, y) & 0xFFFFFF) != (scene.at(x, y) & 0xFFFFFF)) ++differ;
        QCOMPARE(differ, 0);
        rig.screens->request_stop();
        QTRY_VERIFY(rig.screens->windows().empty());
    }

    // One tune, one wallpaper: the second screen neither plays nor saves.
    void music_and_wallpaper_come_from_the_primary_screen_only() {
        Rig rig;
        rig.settings.save_wallpaper = "1";
        rig.screens->open();
        QTRY_VERIFY_WITH_TIMEOUT(!rig.media.played.empty(), 8000);
        QVERIFY(rig.silent.played.empty());
        QSignalSpy done(rig.screens.get(), &SaverScreens::all_unloaded);
        rig.screens->request_stop();
        QTRY_COMPARE(done.count(), 1);
        QCOMPARE(rig.desktop.wallpapers.size(), size_t{1});
    }

    // A key on the second screen ends the run on both.
    void input_on_any_screen_ends_every_screen() {
        Rig rig;
        QSignalSpy done(rig.screens.get(), &SaverScreens::all_unloaded);
        rig.screens->open();
        const auto sessions = rig.screens->sessions();
        QTRY_VERIFY(sessions[0]->frames_drawn() > 0 && sessions[1]->frames_drawn() > 0);
        QTest::keyClick(rig.screens->windows()[1], Qt::Key_Space);
        QTRY_COMPARE(done.count(), 1);
        QVERIFY(sessions[0]->unloaded());
        QVERIFY(sessions[1]->unloaded());
    }

    void a_screen_that_goes_takes_its_saver_and_one_that_comes_gets_one() {
        Rig rig;
        QSignalSpy done(rig.screens.get(), &SaverScreens::all_unloaded);
        rig.screens->open();
        QScreen* right = QGuiApplication::screens().at(1);
        QTRY_VERIFY(rig.screens->sessions()[1]->frames_drawn() > 0);

        rig.screens->remove_screen(right);
        QTRY_COMPARE(rig.screens->windows().size(), size_t{1});
        SaverSession* left = rig.screens->sessions()[0];
        const int64_t before = left->frames_drawn();
        QTRY_VERIFY(left->frames_drawn() > before + 2);  // the other screen runs on
        QCOMPARE(done.count(), 0);
        QVERIFY(rig.desktop.cursor_count < 0);  // and the pointer stays hidden over it

        rig.screens->add_screen(right);
        QCOMPARE(rig.screens->windows().size(), size_t{2});
        QTRY_VERIFY(rig.screens->sessions()[1]->frames_drawn() > 0);
        QCOMPARE(rig.screens->sessions()[1]->surfaces().scene_width, 800);
        rig.screens->request_stop();
        QTRY_COMPARE(done.count(), 1);
        QVERIFY(rig.desktop.cursor_count >= 0);
    }

    // A windowed run is one saver whatever the screens; however its window goes (the window
    // manager's close button, a key, a stop request), the run ends once, the same way.
    void a_windowed_run_is_one_screen_and_ends_one_way() {
        FrmMainOptions windowed;
        windowed.placement = FrmMainOptions::Placement::Windowed;
        windowed.windowed_size = QSize(320, 200);
        for (int how = 0; how < 3; ++how) {
            Rig rig({}, windowed);
            QSignalSpy done(rig.screens.get(), &SaverScreens::all_unloaded);
            rig.screens->open();
            QCOMPARE(rig.screens->windows().size(), size_t{1});
            SaverSession* session = rig.screens->sessions()[0];
            QTRY_VERIFY(session->frames_drawn() > 1);
            FrmMain* window = rig.screens->windows()[0];
            if (how == 0) window->close();
            if (how == 1) QTest::keyClick(window, Qt::Key_Space);
            if (how == 2) rig.screens->request_stop();
            QTRY_COMPARE(done.count(), 1);
            QVERIFY(session->unloaded());
            rig.screens->request_stop();  // too late to matter
            QTest::qWait(20);
            QCOMPARE(done.count(), 1);
        }
    }

    void screenshots_are_numbered_by_screen() {
        QCOMPARE(SaverScreens::numbered_path("/tmp/shot.png", 1), std::string("/tmp/shot.png"));
        QCOMPARE(SaverScreens::numbered_path("/tmp/shot.png", 2), std::string("/tmp/shot-2.png"));
        QCOMPARE(SaverScreens::numbered_path("shot", 3), std::string("shot-3"));
        QCOMPARE(SaverScreens::numbered_path("", 2), std::string());
    }
};

int main(int argc, char** argv) {
    QTemporaryDir dir;
    const QString config = dir.filePath(QStringLiteral("screens.json"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly) || file.write(kScreens) < 0) return 1;
    file.close();
    qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config).toUtf8());
    QApplication app(argc, argv);
    SaverScreensTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "saver_screens_qt_test.moc"
