#pragma once
#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QTransform>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace vistaloom::testing {

// A JPEG whose EXIF block says how to turn it upright (1: as stored, 6: a quarter turn
// clockwise, 3: half a turn, 8: a quarter turn back), as a phone camera writes it.
inline QByteArray jpeg_with_orientation(const QImage& picture, int orientation) {
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "JPEG", 90);
    if (orientation <= 1) return jpeg;
    // APP1 "Exif": a big-endian TIFF header and one IFD with the orientation tag alone.
    const char body[] = {'E',  'x',
                         'i',  'f',
                         0,    0,
                         'M',  'M',
                         0,    0x2a,
                         0,    0,
                         0,    8,
                         0,    1,  // one entry
                         0x01, 0x12,
                         0,    3,
                         0,    0,
                         0,    1,  // orientation, SHORT, one value
                         0,    char(orientation),
                         0,    0,  // the value, padded
                         0,    0,
                         0,    0};  // no next IFD
    QByteArray app1("\xff\xe1", 2);
    const int length = int(sizeof body) + 2;
    app1.append(char(length >> 8)).append(char(length & 0xff)).append(body, sizeof body);
    return jpeg.left(2) + app1 + jpeg.mid(2);
}

// Stored left half red, right half blue; upright (after orientation 6) red is on top.
inline QImage two_halves(int width, int height) {
    QImage picture(width, height, QImage::Format_RGB32);
    QPainter paint(&picture);
    paint.fillRect(0, 0, width / 2, height, QColor(230, 20, 20));
    paint.fillRect(width / 2, 0, width - width / 2, height, QColor(20, 20, 230));
    return picture;
}

// Photo number `i`: a sky of its own colour, a sun and a hill, so pictures on screen can be
// told apart and their orientation seen.
inline QImage landscape(int i, int width, int height) {
    QImage picture(width, height, QImage::Format_RGB32);
    const QColor sky = QColor::fromHsv((i * 37) % 360, 170, 90 + (i * 13) % 160);
    QLinearGradient fade(0, 0, 0, height);
    fade.setColorAt(0, sky.lighter(150));
    fade.setColorAt(1, sky.darker(160));
    QPainter paint(&picture);
    paint.fillRect(picture.rect(), fade);
    paint.setPen(Qt::NoPen);
    paint.setBrush(QColor::fromHsv((i * 37 + 180) % 360, 120, 250));
    const int sun = std::max(2, height / 5);
    paint.drawEllipse(QPoint(width / 5 + (i * 29) % std::max(1, width * 3 / 5), height / 3), sun,
                      sun);
    paint.setBrush(sky.darker(250));
    paint.drawEllipse(QRect(-width / 4, height * 2 / 3, width * 3 / 2, height));
    return picture;
}

inline void write_bytes(const std::filesystem::path& path, const QByteArray& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary).write(bytes.constData(), bytes.size());
}

struct PhotoTree {
    std::vector<std::string> readable;  // every photo that can be shown
    std::vector<std::string> broken;    // named like photos, not readable
};

// `count` small photos spread over `folders` nested folders (year/trip), every seventh one a
// PNG and every fifth one a phone JPEG with an orientation; `broken` files that only look
// like photos; with `loop`, a link from deep inside back to the top.
inline PhotoTree make_photo_tree(const std::filesystem::path& root, int count, int folders,
                                 int broken, bool loop, int width = 48, int height = 36) {
    PhotoTree tree;
    for (int i = 0; i < count; ++i) {
        const int folder = i % folders;
        const std::filesystem::path dir = root / ("year" + std::to_string(2000 + folder % 7)) /
                                          ("trip-" + std::to_string(folder));
        const QImage picture = landscape(i, width, height);
        std::filesystem::path path;
        if (i % 7 == 3) {
            path = dir / ("shot-" + std::to_string(i) + ".PNG");
            QByteArray png;
            QBuffer buffer(&png);
            buffer.open(QIODevice::WriteOnly);
            picture.save(&buffer, "PNG");
            write_bytes(path, png);
        } else {
            path = dir / ("IMG_" + std::to_string(i) + (i % 2 ? ".jpg" : ".JPEG"));
            if (i % 5 == 0) {
                // Held upright, as a phone stores it: sideways, with the turn to undo it.
                const QImage upright = landscape(i, height, width);
                write_bytes(
                    path, jpeg_with_orientation(upright.transformed(QTransform().rotate(-90)), 6));
            } else {
                write_bytes(path, jpeg_with_orientation(picture, 1));
            }
        }
        tree.readable.push_back(path.string());
    }
    for (int i = 0; i < broken; ++i) {
        const std::filesystem::path path = root / ("year" + std::to_string(2000 + i % 7)) /
                                           ("broken-" + std::to_string(i) + ".jpg");
        write_bytes(path, i % 2 ? QByteArray("not a picture at all")
                                : QByteArray("\xff\xd8\xff\xe0\x00\x10JFIF", 10));
        tree.broken.push_back(path.string());
    }
    if (loop) {
        std::filesystem::create_directories(root / "year2000" / "trip-0");
        std::filesystem::create_directory_symlink(root,
                                                  root / "year2000" / "trip-0" / "back-to-top");
    }
    return tree;
}

}  // namespace vistaloom::testing
