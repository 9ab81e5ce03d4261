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
#include "support/test_paths.h"
#include "ui/saver_screens.h"
#include "ui/screen_viewer.h"

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

    explicit Rig(SaverSessionOptions session_options = {}, FrmMainOptions window_options = {},
                 ScreenMode mode = ScreenMode::Each) {
        startup.install_path = vistaloom::testing::test_inputs() + "/themes/";
        settings.active_module = "Valid";
        settings.frame_rate = "60";
        settings.show_time = "0";
        screens = std::make_unique<SaverScreens>(SaverScreensParts{
            settings, startup, SaverSeams{clock, random, desktop, media, registry, folders}, silent,
            window_options, session_options});
        parts_mode = mode;
        if (mode != ScreenMode::Each) {
            SaverScreensParts parts{settings, startup,
                                    SaverSeams{clock, random, desktop, media, registry, folders},
                                    silent, window_options, session_options};
            parts.mode = mode;
            screens = std::make_unique<SaverScreens>(std::move(parts));
        }
    }
    ScreenMode parts_mode = ScreenMode::Each;
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

    // What the second (200%, 800 x 600 real pixels) screen shows in each mode, against the
    // primary screen's scene of 640 x 480: its own scene, the scene fitted (mirror), the
    // scene's right-hand part at twice the size so the gradient runs on across the seam
    // (span), or black without a session (main).
    void every_mode_puts_the_right_picture_on_the_second_screen() {
        struct Case {
            ScreenMode mode;
            size_t sessions;
            int scene_width;  // the primary screen's scene
        };
        for (const Case c : {Case{ScreenMode::Each, 2, 640}, Case{ScreenMode::Mirror, 1, 640},
                             Case{ScreenMode::Span, 1, 1040}, Case{ScreenMode::Main, 1, 640}}) {
            const QByteArray what = screen_mode_text(c.mode);
            Rig rig({}, {}, c.mode);
            rig.screens->open();
            QCOMPARE(rig.screens->sessions().size(), c.sessions);
            SaverSession* scene = rig.screens->sessions()[0];
            QTRY_VERIFY(scene->frames_drawn() > 3);
            QVERIFY2(scene->surfaces().scene_width == c.scene_width, what);
            const Surface& a = scene->surfaces().ascreen;
            if (c.mode == ScreenMode::Each) {
                QVERIFY(rig.screens->viewers().empty());
                const Surface& b = rig.screens->sessions()[1]->surfaces().ascreen;
                QVERIFY2(b.width == 800 && !(a.pixels == b.pixels), what);
            } else {
                QCOMPARE(rig.screens->viewers().size(), size_t{1});
                ScreenViewer* viewer = rig.screens->viewers()[0];
                QTRY_VERIFY(viewer->isVisible());
                const QImage shot = viewer->grab().toImage().convertToFormat(QImage::Format_RGB32);
                QVERIFY2(shot.size() == QSize(800, 600), what);
                int differ = 0;
                for (int y = 1; y < 600; y += 13) {
                    for (int x = 1; x < 800; x += 11) {
                        uint32_t want = 0;
                        if (c.mode == ScreenMode::Mirror)
                            want = a.at(static_cast<int>((x + 0.5) * 0.8),
                                        static_cast<int>((y + 0.5) * 0.8));
                        if (c.mode == ScreenMode::Span) want = a.at(640 + x / 2, y / 2);
                        if ((shot.pixel(x, y) & 0xFFFFFF) != want) ++differ;
                    }
                }
                QVERIFY2(differ == 0, what + " differs at " + QByteArray::number(differ));
            }
            if (c.mode == ScreenMode::Span) {
                // The primary window shows the scene's left part, one to one.
                const QImage left = device_shot(*rig.screens->windows()[0]);
                QCOMPARE(left.size(), QSize(640, 480));
                QCOMPARE(left.pixel(639, 240) & 0xFFFFFF, a.at(639, 240));
            }
            QSignalSpy done(rig.screens.get(), &SaverScreens::all_unloaded);
            rig.screens->request_stop();
            QTRY_COMPARE(done.count(), 1);
        }
    }

    // A screen that only shows a scene still ends the run with a key; and when the screen
    // that runs the scene goes, the one left starts its own, with the music.
    void viewers_pass_input_on_and_outlive_their_scene_screen() {
        {
            Rig rig({}, {}, ScreenMode::Main);
            QSignalSpy done(rig.screens.get(), &SaverScreens::all_unloaded);
            rig.screens->open();
            QTRY_VERIFY(rig.screens->sessions()[0]->frames_drawn() > 0);
            QTest::keyClick(rig.screens->viewers()[0], Qt::Key_Space);
            QTRY_COMPARE(done.count(), 1);
            QVERIFY(rig.screens->viewers().empty());
        }
        {
            Rig rig({}, {}, ScreenMode::Mirror);
            rig.settings.mute_audio = "0";
            QSignalSpy done(rig.screens.get(), &SaverScreens::all_unloaded);
            rig.screens->open();
            QTRY_VERIFY(rig.screens->sessions()[0]->frames_drawn() > 0);
            rig.screens->remove_screen(QGuiApplication::screens().at(0));
            QTRY_COMPARE(rig.screens->sessions().size(), size_t{1});
            QVERIFY(rig.screens->viewers().empty());
            SaverSession* left_over = rig.screens->sessions()[0];
            QTRY_VERIFY(left_over->frames_drawn() > 2);
            QCOMPARE(left_over->surfaces().scene_width, 800);
            QCOMPARE(done.count(), 0);
            const size_t played = rig.media.played.size();
            QTRY_VERIFY_WITH_TIMEOUT(rig.media.played.size() > played, 8000);
            rig.screens->request_stop();
            QTRY_COMPARE(done.count(), 1);
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
