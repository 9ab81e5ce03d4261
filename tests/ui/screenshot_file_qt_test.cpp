#include <sys/stat.h>

#include <QtTest>

#include "ui/screenshot_file.h"

using namespace vistaloom;

// The screenshot is the one file a run is asked to leave: it is whole or absent, never a
// 0-byte picture reported as written, and the path never holds the saver at its end.
class ScreenshotFileTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

    QImage picture() {
        QImage image(16, 8, QImage::Format_RGB32);
        image.fill(0x336699);
        return image;
    }

  private slots:
    void a_written_screenshot_replaces_the_old_one_whole() {
        const QString path = dir_.filePath("shot.png");
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old");
        old.close();
        QVERIFY(write_screenshot_file(picture(), path.toStdString()));
        QCOMPARE(QImage(path).size(), QSize(16, 8));
        QCOMPARE(QDir(dir_.path()).entryList(QDir::Files), QStringList{"shot.png"});
    }

    void failures_are_reported_and_leave_nothing() {
        const QString gone = dir_.filePath("gone/shot.png");
        QVERIFY(!write_screenshot_file(picture(), gone.toStdString()));
        QVERIFY(!QFileInfo::exists(gone));
    }

    // Neither blocks in open() nor renames the node away (as root a device would be lost).
    void a_fifo_in_the_way_is_refused_and_kept() {
        const QString fifo = dir_.filePath("fifo.png");
        QVERIFY(::mkfifo(fifo.toLocal8Bit().constData(), 0600) == 0);
        QVERIFY(!write_screenshot_file(picture(), fifo.toStdString()));
        struct stat info {};
        QVERIFY(::stat(fifo.toLocal8Bit().constData(), &info) == 0 && S_ISFIFO(info.st_mode));
    }
};

QTEST_GUILESS_MAIN(ScreenshotFileTest)
#include "screenshot_file_qt_test.moc"
