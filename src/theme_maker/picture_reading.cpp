#include "theme_maker/picture_reading.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QImageIOHandler>
#include <QImageReader>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>

#include "pixels/jpeg_loading.h"
#include "theme_maker/jpeg_structure.h"

namespace vistaloom {

namespace {

// No picture holds more pixels than the largest the saver itself decodes.
constexpr int64_t kMaxPicturePixels = int64_t{kMaxJpegSide} * kMaxJpegSide;

bool cancelled(const std::atomic<bool>* cancel) {
    return cancel != nullptr && cancel->load();
}

// A file whose reads fail once `cancel` is set: the decoder asks for more bytes all the
// time, so a long decode ends soon after, whatever the format.
class CancellableFile : public QFile {
  public:
    explicit CancellableFile(const std::atomic<bool>* cancel) : cancel_(cancel) {}

  protected:
    qint64 readData(char* data, qint64 length) override {
        if (cancelled(cancel_)) return -1;
        return QFile::readData(data, length);
    }

  private:
    const std::atomic<bool>* cancel_;
};

// Opens `path` by its bytes (a QString could not name a file whose name is no valid UTF-8)
// and only when it is a regular file: opening a FIFO could wait for ever. Why not, or empty.
QString open_regular_file(const std::string& path, QFile& file) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return QString::fromLocal8Bit(std::strerror(errno));
    struct stat status {};
    QString problem;
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode))
        problem = QStringLiteral("not a regular file");
    else if (status.st_size > kMaxPictureFileBytes)
        problem = QStringLiteral("larger than %1 bytes").arg(kMaxPictureFileBytes);
    else if (::fcntl(fd, F_SETFL, 0) != 0 ||
             !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        problem = QStringLiteral("cannot be opened");
    if (!problem.isEmpty() && !file.isOpen()) ::close(fd);
    return problem;
}

// The limits the sheet decoder keeps, checked before the picture is decoded.
QString jpeg_problem(QFile& file, const std::atomic<bool>* cancel) {
    const JpegStructure jpeg = read_jpeg_structure(file, kMaxJpegScans, cancel);
    file.seek(0);
    if (!jpeg.is_jpeg) return {};
    if (jpeg.scans > kMaxJpegScans)
        return QStringLiteral("a JPEG of more than %1 scans (it would take minutes to decode)")
            .arg(kMaxJpegScans);
    if (int64_t{jpeg.width} * jpeg.height > file.size() * kMaxJpegPixelsPerByte)
        return QStringLiteral("a JPEG that claims far more pixels than its file can hold");
    return {};
}

QByteArray extension_of(const std::string& path) {
    const size_t slash = path.rfind('/');
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    return QByteArray::fromStdString(path.substr(dot + 1)).toLower();
}

// The largest centred part of `picture` with the shape of `box`.
QSize crop_size(QSize picture, QSize box) {
    if (int64_t{picture.width()} * box.height() > int64_t{picture.height()} * box.width()) {
        const auto width = std::lround(double(picture.height()) * box.width() / box.height());
        return {std::clamp<int>(int(width), 1, picture.width()), picture.height()};
    }
    const auto height = std::lround(double(picture.width()) * box.height() / box.width());
    return {picture.width(), std::clamp<int>(int(height), 1, picture.height())};
}

QRect centred(QSize outer, QSize inner) {
    return {(outer.width() - inner.width()) / 2, (outer.height() - inner.height()) / 2,
            inner.width(), inner.height()};
}

// Asks the reader for the crop and size wanted, in the file's own orientation: it turns the
// picture upright only after decoding.
void ask_for_size(QImageReader& reader, QSize stored, QSize box, PictureFit fit) {
    const bool sideways = reader.transformation().testFlag(QImageIOHandler::TransformationRotate90);
    const QSize stored_box = sideways ? box.transposed() : box;
    if (fit == PictureFit::cover) {
        reader.setClipRect(centred(stored, crop_size(stored, stored_box)));
        reader.setScaledSize(stored_box);
    } else if (stored.width() > stored_box.width() || stored.height() > stored_box.height()) {
        reader.setScaledSize(stored.scaled(stored_box, Qt::KeepAspectRatio));
    }
}

// Readers that crop or scale by themselves may miss the size by a pixel; those that know
// no size beforehand are cropped and scaled here.
QImage finished(QImage picture, QSize box, PictureFit fit) {
    if (fit == PictureFit::cover) {
        if (picture.size() != box) {
            const QRect part = centred(picture.size(), crop_size(picture.size(), box));
            if (part.size() != picture.size()) picture = picture.copy(part);
            picture = picture.scaled(box, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        }
        return picture.convertToFormat(QImage::Format_RGB32);
    }
    if (picture.width() > box.width() || picture.height() > box.height())
        picture = picture.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return picture;
}

}  // namespace

PictureRead read_picture(const std::string& path, QSize box, PictureFit fit,
                         const std::atomic<bool>* cancel, int64_t max_pixels) {
    if (max_pixels <= 0 || max_pixels > kMaxPicturePixels) max_pixels = kMaxPicturePixels;
    CancellableFile file(cancel);
    if (QString problem = open_regular_file(path, file); !problem.isEmpty())
        return {QImage(), problem};
    if (QString problem = jpeg_problem(file, cancel); !problem.isEmpty())
        return {QImage(), problem};
    // By content first: a PNG saved as "photo.jpg" is still a PNG.
    QByteArray format = QImageReader::imageFormat(&file);
    if (format.isEmpty()) format = extension_of(path);
    file.seek(0);
    QImageReader reader(&file, format);
    reader.setAutoTransform(true);
    const QSize stored = reader.size();
    if (stored.isValid() && !stored.isEmpty()) {
        if (int64_t{stored.width()} * stored.height() > max_pixels)
            return {QImage(), QStringLiteral("more than %1 pixels").arg(max_pixels)};
        ask_for_size(reader, stored, box, fit);
    }
    QImage picture = cancelled(cancel) ? QImage() : reader.read();
    // A read cut short by `cancel` may still hand back the part it got.
    if (cancelled(cancel)) return {QImage(), QStringLiteral("cancelled")};
    if (picture.isNull()) {
        QString reason = reader.errorString();
        if (reader.error() == QImageReader::UnknownError || reason.isEmpty())
            reason = QStringLiteral("not a picture this program can read");
        return {QImage(), reason};
    }
    return {finished(std::move(picture), box, fit), QString()};
}

QByteArray picture_format(const std::string& path) {
    QFile file;
    if (!open_regular_file(path, file).isEmpty()) return {};
    return QImageReader::imageFormat(&file);
}

}  // namespace vistaloom
