#include <QImage>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <optional>

#include "platform/seeded_random.h"
#include "platform/steady_clock.h"
#include "saver/saver_session.h"
#include "startup/saver_settings.h"
#include "startup/startup_values.h"
#include "support/memory_registry.h"
#include "support/recording_desktop.h"
#include "support/recording_media.h"
#include "support/temp_user_folders.h"
#include "ui/frm_main.h"

using namespace vistaloom;

namespace {

// A window with a real session on the real clock and event loop; only the desktop, the
// music and the registry are doubles.
struct Rig {
    QTemporaryDir install;
    QTemporaryDir runtime;
    SaverSettings settings;
    StartupValues startup;
    SteadyClock clock;
    SeededRandom random{42};
    testing::RecordingDesktop desktop;
    testing::RecordingMedia media;
    testing::MemoryRegistry registry;
    testing::TempUserFolders folders{runtime.path().toStdString()};
    FrmMain window;
    std::optional<SaverSession> session;

    explicit Rig(FrmMainOptions options, SaverSessionOptions session_options = {})
        : window(std::move(options)) {
        startup.install_path = install.path().toStdString() + "/";  // no themes in it
        settings.mute_audio = "1";
        session.emplace(settings, startup,
                        SaverSeams{clock, random, desktop, media, registry, folders}, window,
                        session_options);
        window.attach(*session);
    }
};

QPoint centre_of(const QWidget& w) {
    return QPoint(w.width() / 2, w.height() / 2);
}

void send_move(QWidget& w, QPoint local) {
    QMouseEvent move(QEvent::MouseMove, QPointF(local), QPointF(w.mapToGlobal(local)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&w, &move);
}

}  // namespace

class FrmMainTest : public QObject {
    Q_OBJECT
  private slots:
    void window_is_titled_for_the_single_instance_search() {
        Rig rig(FrmMainOptions{});
        QCOMPARE(rig.window.windowTitle(), QStringLiteral("Screen Saver Main Form"));
        QVERIFY(rig.window.windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(rig.window.windowFlags() & Qt::WindowStaysOnTopHint);

        FrmMainOptions preview;
        preview.config_preview = true;
        Rig quiet(preview);
        QVERIFY(!(quiet.window.windowFlags() & Qt::WindowStaysOnTopHint));
    }

    // The picture is shown from the session's own pixels at its offset; the rest is black.
    void paints_ascreen_at_its_offset_and_black_around_it() {
        FrmMainOptions options;
        options.placement = FrmMainOptions::Placement::Windowed;
        options.windowed_size = QSize(64, 48);
        Rig rig(options);
        SceneSurfaces& surfaces = rig.session->surfaces();
        surfaces.ascreen.resize(20, 10, 0x00123456);
        surfaces.ascreen.at(3, 4) = 0x00FF8000;
        surfaces.ascreen_left = 7;
        surfaces.ascreen_top = 5;
        rig.window.repaint_all();
        const QImage shot = rig.window.grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(shot.size(), QSize(64, 48));
        QCOMPARE(shot.pixel(7, 5) & 0xFFFFFF, 0x123456u);
        QCOMPARE(shot.pixel(7 + 3, 5 + 4) & 0xFFFFFF, 0xFF8000u);
        QCOMPARE(shot.pixel(7 + 19, 5 + 9) & 0xFFFFFF, 0x123456u);
        QCOMPARE(shot.pixel(6, 5) & 0xFFFFFF, 0u);
        QCOMPARE(shot.pixel(7 + 20, 5) & 0xFFFFFF, 0u);
        QCOMPARE(shot.pixel(63, 47) & 0xFFFFFF, 0u);

        // A partial repaint shows a pixel the session changed in place, with no copy between.
        surfaces.ascreen.at(0, 0) = 0x0000FF00;
        rig.window.repaint(std::vector<Rect>{{0, 0, 1, 1}});
        const QImage again = rig.window.grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(again.pixel(7, 5) & 0xFFFFFF, 0x00FF00u);
    }

    // Only a real change of pointer position counts as movement: the "move" reported when a
    // window appears under a still pointer must not bring the saver closer to its end.
    void pointer_moves_count_only_when_the_position_changes() {
        FrmMainOptions options;
        options.placement = FrmMainOptions::Placement::Windowed;
        options.windowed_size = QSize(200, 150);
        Rig rig(options);
        rig.settings.mouse_sensitivity = "5";
        RunState& run = rig.session->run();
        run.loop_active = true;
        run.keep_running = true;
        const QPoint p = centre_of(rig.window);
        send_move(rig.window, p);
        const int16_t after_first = run.mouse_move_count;
        send_move(rig.window, p);
        send_move(rig.window, p);
        QCOMPARE(run.mouse_move_count, after_first);
        send_move(rig.window, p + QPoint(1, 0));
        QCOMPARE(run.mouse_move_count, static_cast<int16_t>(after_first + 1));
        run.loop_active = false;
    }

    void embedded_window_ignores_input() {
        FrmMainOptions options;
        options.placement = FrmMainOptions::Placement::Embedded;
        SaverSessionOptions session_options;
        session_options.embedded = true;
        Rig rig(options, session_options);
        rig.window.resize(100, 80);
        RunState& run = rig.session->run();
        run.loop_active = true;
        run.keep_running = true;
        QTest::keyClick(&rig.window, Qt::Key_Space);
        QTest::mouseClick(&rig.window, Qt::LeftButton);
        send_move(rig.window, QPoint(3, 3));
        send_move(rig.window, QPoint(30, 30));
        QVERIFY(run.keep_running);
        QCOMPARE(run.mouse_move_count, static_cast<int16_t>(0));
        run.loop_active = false;
    }

    void a_window_that_never_started_closes_at_once() {
        Rig rig(FrmMainOptions{});
        QVERIFY(rig.window.close());
        QVERIFY(rig.window.unloading());
    }

    // A whole run: shown, set up (no themes installed), a few frames, unloaded, closed, with
    // the last frame written as a PNG of the scene's size.
    void runs_to_the_end_and_writes_the_screenshot() {
        QTemporaryDir out;
        FrmMainOptions options;
        options.placement = FrmMainOptions::Placement::Windowed;
        options.windowed_size = QSize(320, 240);
        options.screenshot = out.filePath(QStringLiteral("last.png")).toStdString();
        SaverSessionOptions session_options;
        session_options.max_frames = 4;
        Rig rig(options, session_options);
        rig.settings.frame_rate = "60";
        rig.window.show();
        QTRY_VERIFY_WITH_TIMEOUT(rig.session->unloaded(), 10000);
        QTRY_VERIFY(!rig.window.isVisible());
        QCOMPARE(rig.session->frames_drawn(), int64_t{4});

        QImage shot(QString::fromStdString(options.screenshot));
        QVERIFY(!shot.isNull());
        QCOMPARE(shot.size(), QSize(rig.session->surfaces().ascreen.width,
                                    rig.session->surfaces().ascreen.height));
        // The cursor was hidden for the run and shown again at its end.
        QVERIFY(!rig.desktop.cursor_counts.empty());
        QVERIFY(rig.desktop.cursor_counts.front() < 0);
        QVERIFY(rig.desktop.cursor_count >= 0);
    }

    // A stop request during the run (as SIGTERM sends) ends it through the normal unload.
    void a_stop_request_ends_the_run_through_the_unload() {
        FrmMainOptions options;
        options.placement = FrmMainOptions::Placement::Windowed;
        options.windowed_size = QSize(160, 120);
        Rig rig(options);
        // The request comes from an event, as the signal's does.
        QTimer::singleShot(400, &rig.window, &FrmMain::request_stop);
        rig.window.show();
        QTRY_VERIFY_WITH_TIMEOUT(rig.session->unloaded(), 10000);
        QVERIFY(rig.session->frames_drawn() >= 2);
        QTRY_VERIFY(!rig.window.isVisible());
    }

    // Two saver windows in one thread, as one per monitor: the event loop drives both, so
    // neither starves the other. The bound is loose on purpose (a busy machine delays
    // timers); a window that waited inside its own loop would draw next to nothing.
    void two_windows_in_one_thread_both_draw() {
        FrmMainOptions options;
        options.placement = FrmMainOptions::Placement::Windowed;
        options.windowed_size = QSize(160, 120);
        Rig first(options);
        Rig second(options);
        second.settings.frame_rate = "10";
        QTimer::singleShot(1000, &first.window, &FrmMain::request_stop);
        QTimer::singleShot(1000, &second.window, &FrmMain::request_stop);
        first.window.show();
        second.window.show();
        QTRY_VERIFY_WITH_TIMEOUT(first.session->unloaded() && second.session->unloaded(), 10000);
        // About 20 and 11 frames in that second.
        qInfo("frames in one second: %lld at 20 fps, %lld at 10 fps",
              static_cast<long long>(first.session->frames_drawn()),
              static_cast<long long>(second.session->frames_drawn()));
        QVERIFY2(first.session->frames_drawn() >= 10,
                 qPrintable(QString::number(first.session->frames_drawn())));
        QVERIFY2(second.session->frames_drawn() >= 5,
                 qPrintable(QString::number(second.session->frames_drawn())));
        QVERIFY(first.session->frames_drawn() <= 22);
        QVERIFY(second.session->frames_drawn() <= 12);
    }
};

QTEST_MAIN(FrmMainTest)
#include "frm_main_qt_test.moc"
