// The one reader of pictures from outside: held to the sheet decoder's limits, stoppable,
// and at home with any file name.
#include <sys/stat.h>

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <atomic>

#include "support/many_scans_jpeg.h"
#include "theme_maker/picture_reading.h"
#include "theme_maker/test_photos.h"

using namespace vistaloom;

namespace {

class PictureReadingTest : public QObject {
    Q_OBJECT

    QTemporaryDir root_;

    std::string save(const std::string& name, const QByteArray& bytes) {
        const std::string path = root_.path().toStdString() + "/" + name;
        std::FILE* file = std::fopen(path.c_str(), "wb");
        std::fwrite(bytes.data(), 1, static_cast<size_t>(bytes.size()), file);
        std::fclose(file);
        return path;
    }
    static QByteArray png(QSize size) {
        QImage picture(size, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        return testing::encoded(picture, "png");
    }

  private slots:
    // Without the scan count the reader decodes it, taking seconds at photo sizes.
    void tooManyScansAreRefusedBeforeDecoding() {
        const std::string path =
            save("scans.jpg", QByteArray::fromStdString(testing::many_scans_jpeg(320, 240)));
        for (PictureFit fit : {PictureFit::cover, PictureFit::shrink_to_fit}) {
            const PictureRead read = read_picture(path, QSize(320, 240), fit);
            QVERIFY(read.image.isNull());
            QVERIFY2(read.error.contains("scans"), qPrintable(read.error));
        }
    }

    void picturesComeOutAtTheBoxSize_data() {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<int>("fit");
        QTest::addColumn<QSize>("want");
        const int cover = int(PictureFit::cover), shrink = int(PictureFit::shrink_to_fit);
        // Cropped first: scaling 4000 x 1 to cover the cell would make 960000 x 240.
        QTest::newRow("thin, cover") << QSize(4000, 1) << cover << QSize(320, 240);
        QTest::newRow("narrow, cover") << QSize(2, 20000) << cover << QSize(320, 240);
        QTest::newRow("large, shrink") << QSize(1000, 300) << shrink << QSize(320, 96);
        QTest::newRow("small, shrink") << QSize(64, 48) << shrink << QSize(64, 48);
    }
    void picturesComeOutAtTheBoxSize() {
        QFETCH(QSize, picture);
        QFETCH(int, fit);
        QFETCH(QSize, want);
        const std::string path = save("p.png", png(picture));
        const PictureRead read = read_picture(path, QSize(320, 240), PictureFit(fit));
        QVERIFY2(!read.image.isNull(), qPrintable(read.error));
        QCOMPARE(read.image.size(), want);
    }

    // File names are bytes; a FIFO would block an open() for ever.
    void anyNameIsReadAndOnlyRegularFiles() {
        const std::string odd = save("caf\xe9-\xff.png", png(QSize(64, 48)));
        QVERIFY(!read_picture(odd, QSize(320, 240), PictureFit::cover).image.isNull());
        QCOMPARE(picture_format(odd), QByteArray("png"));
        const std::string fifo = root_.path().toStdString() + "/fifo.png";
        QCOMPARE(::mkfifo(fifo.c_str(), 0600), 0);
        QVERIFY(read_picture(fifo, QSize(320, 240), PictureFit::cover).error.contains("regular"));
        QVERIFY(picture_format(fifo).isEmpty());
    }

    void aCancelledReadGivesNothing() {
        const std::string path = save("p.png", png(QSize(640, 480)));
        std::atomic<bool> cancel{true};
        const PictureRead read = read_picture(path, QSize(320, 240), PictureFit::cover, &cancel);
        QVERIFY(read.image.isNull());
    }
};

}  // namespace

QTEST_GUILESS_MAIN(PictureReadingTest)
#include "picture_reading_qt_test.moc"
