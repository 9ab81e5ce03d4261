#include <QElapsedTimer>
#include <QSignalSpy>
#include <QtTest>

#include "ui/frm_preview.h"

using namespace vistaloom;

class FrmPreviewTest : public QObject {
    Q_OBJECT
  private slots:
    void shows_the_sample_until_the_host_goes() {
        bool host = true;
        FrmPreview preview([&host] { return host; });
        preview.resize(152, 112);
        preview.start();
        QCOMPARE(preview.timer().interval(), 100);
        QSignalSpy unloaded(&preview, &FrmPreview::unloaded);
        QTest::qWait(250);
        QCOMPARE(unloaded.count(), 0);

        const QImage shot = preview.grab().toImage();
        QCOMPARE(shot.size(), QSize(152, 112));
        QVERIFY(shot.pixel(20, 20) != shot.pixel(150, 20));  // the picture, then black
        QCOMPARE(qGray(shot.pixel(151, 56)), 0);

        QElapsedTimer clock;
        clock.start();
        host = false;
        QTRY_COMPARE_WITH_TIMEOUT(unloaded.count(), 1, 1000);
        QVERIFY(clock.elapsed() < 300);
        QVERIFY(!preview.timer().isActive());
    }

    // The host's close request lets go of the host; the next tick ends the preview.
    void a_close_request_ends_it_at_the_next_tick() {
        FrmPreview preview([] { return true; });
        preview.start();
        QSignalSpy unloaded(&preview, &FrmPreview::unloaded);
        preview.close();
        QVERIFY(!preview.attached());
        QTRY_COMPARE_WITH_TIMEOUT(unloaded.count(), 1, 500);
    }

    void without_a_host_it_ends_at_the_first_tick() {
        FrmPreview preview([] { return false; });
        QSignalSpy unloaded(&preview, &FrmPreview::unloaded);
        QElapsedTimer clock;
        clock.start();
        preview.start();
        QTRY_COMPARE_WITH_TIMEOUT(unloaded.count(), 1, 1000);
        QVERIFY(clock.elapsed() < 250);
    }
};

QTEST_MAIN(FrmPreviewTest)
#include "frm_preview_qt_test.moc"
