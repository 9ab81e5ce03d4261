#pragma once
#include <QImage>
#include <QSize>
#include <QString>

namespace vistaloom {

// The size a picture of `picture` pixels is scaled to so that it covers `cell` completely
// with its shape kept: one side fits the cell exactly, the other overhangs evenly and is
// cropped. Never smaller than `cell`.
QSize cover_size(QSize picture, QSize cell);

struct PhotoCell {
    QImage image;   // exactly the cell's size, Format_RGB32; null when the picture failed
    QString error;  // why, in a few plain words
};

// Reads the picture at `path` the way it is meant to be seen (EXIF orientation applied) and
// fills `cell` with its centre: scaled to cover, then cropped, never stretched and never
// letter-boxed. Large JPEGs are decoded at a reduced size, so a 24-megapixel photo costs a
// few megabytes instead of a hundred.
PhotoCell read_photo_cell(const QString& path, QSize cell);

}  // namespace vistaloom
