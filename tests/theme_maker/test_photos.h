#pragma once
// Test photos whose every part says where it belongs: the region a 320 x 240 centre crop must
// show is painted in the photo's own colour with its top-left quarter in a second colour,
// and everything outside that region in magenta. A cell then shows magenta when the crop
// is off or stretched, black when the photo was letter-boxed, and the quarter in the wrong
// corner when the orientation was missed.
#include <QBuffer>
#include <QColor>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QString>
#include <QTransform>
#include <algorithm>

namespace vistaloom::testing {

inline const QColor kOutside(255, 0, 255);

struct PhotoColours {
    QColor centre;
    QColor quarter;
};

// Distinct, far apart colours for photo number i.
inline PhotoColours photo_colours(int i) {
    const QColor centre = QColor::fromHsv((i * 47) % 360, 200, 230);
    return {centre, QColor::fromHsv((i * 47 + 180) % 360, 255, 90)};
}

// The photo as it is meant to be seen, `size` pixels.
inline QImage upright_photo(QSize size, PhotoColours colours) {
    QImage photo(size, QImage::Format_RGB32);
    photo.fill(kOutside);
    const double scale = std::max(320.0 / size.width(), 240.0 / size.height());
    const QRectF shown((size.width() - 320 / scale) / 2, (size.height() - 240 / scale) / 2,
                       320 / scale, 240 / scale);
    QPainter painter(&photo);
    painter.fillRect(shown, colours.centre);
    painter.fillRect(QRectF(shown.topLeft(), shown.size() / 2), colours.quarter);
    return photo;
}

// JPEG bytes with an EXIF orientation tag (1..8) placed right after the start marker.
inline QByteArray with_exif_orientation(const QByteArray& jpeg, int orientation) {
    QByteArray app1(
        "\xFF\xE1\x00\x22"
        "Exif\x00\x00"
        "MM\x00\x2A\x00\x00\x00\x08"
        "\x00\x01"
        "\x01\x12\x00\x03\x00\x00\x00\x01\x00\x00\x00\x00"
        "\x00\x00\x00\x00",
        36);
    app1[29] = static_cast<char>(orientation);
    return jpeg.left(2) + app1 + jpeg.mid(2);
}

// How a camera stores a photo that must be turned by `orientation` to stand upright.
inline QImage stored_for(const QImage& upright, int orientation) {
    switch (orientation) {
        case 2:
            return upright.mirrored(true, false);
        case 3:
            return upright.transformed(QTransform().rotate(180));
        case 6:
            return upright.transformed(QTransform().rotate(-90));
        case 8:
            return upright.transformed(QTransform().rotate(90));
        default:
            return upright;
    }
}

inline QByteArray encoded(const QImage& picture, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(95);
    writer.write(picture);
    return bytes;
}

}  // namespace vistaloom::testing
