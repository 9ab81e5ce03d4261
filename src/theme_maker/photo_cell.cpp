#include "theme_maker/photo_cell.h"

#include <QImageIOHandler>
#include <QImageReader>
#include <algorithm>
#include <cmath>

namespace vistaloom {

namespace {

bool turned_sideways(QImageIOHandler::Transformations t) {
    return t.testFlag(QImageIOHandler::TransformationRotate90);
}

QSize transposed_if(QSize size, bool sideways) {
    return sideways ? size.transposed() : size;
}

// Some readers scale by themselves (JPEG decodes at 1/2, 1/4 or 1/8 of the size); the rest
// are scaled after decoding. Either way the result may miss the asked size by a pixel.
QImage fill_cell(QImage picture, QSize cell) {
    const QSize cover = cover_size(picture.size(), cell);
    if (picture.size() != cover)
        picture = picture.scaled(cover, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const QRect centre((cover.width() - cell.width()) / 2, (cover.height() - cell.height()) / 2,
                       cell.width(), cell.height());
    return picture.copy(centre).convertToFormat(QImage::Format_RGB32);
}

}  // namespace

QSize cover_size(QSize picture, QSize cell) {
    if (picture.isEmpty()) return cell;
    const double scale =
        std::max(double(cell.width()) / picture.width(), double(cell.height()) / picture.height());
    // Rounded, then never below the cell: the side that fits must fit exactly.
    const int width = std::max(cell.width(), int(std::lround(picture.width() * scale)));
    const int height = std::max(cell.height(), int(std::lround(picture.height() * scale)));
    return {width, height};
}

PhotoCell read_photo_cell(const QString& path, QSize cell) {
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QSize stored = reader.size();
    if (stored.isValid() && !stored.isEmpty()) {
        // The reader scales in the file's own orientation and turns the picture afterwards,
        // so a sideways photo is asked for at the turned cover size.
        const bool sideways = turned_sideways(reader.transformation());
        const QSize upright = transposed_if(stored, sideways);
        const QSize cover = cover_size(upright, cell);
        if (cover.width() < upright.width()) reader.setScaledSize(transposed_if(cover, sideways));
    }
    QImage picture = reader.read();
    if (picture.isNull()) {
        QString reason = reader.errorString();
        if (reader.error() == QImageReader::UnknownError || reason.isEmpty())
            reason = QStringLiteral("not a picture this program can read");
        return {QImage(), reason};
    }
    return {fill_cell(std::move(picture), cell), QString()};
}

}  // namespace vistaloom
