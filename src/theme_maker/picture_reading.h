#pragma once
#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <atomic>
#include <cstdint>
#include <string>

namespace vistaloom {

// Every picture the program reads through Qt goes through here: the user's photos when a
// theme is made and a theme's sample in the configuration window. Both come from anywhere,
// so the reader holds them to the limits the saver's own JPEG decoder keeps (scans, pixels
// per byte of file) and can be stopped at any time.

// A picture file is no larger than this (as Qt's own bound on one decoded picture).
inline constexpr int64_t kMaxPictureFileBytes = int64_t{256} * 1024 * 1024;

enum class PictureFit {
    cover,          // fill `box` exactly: the centre of the picture, cropped, then scaled
    shrink_to_fit,  // at most `box` with the shape kept; smaller pictures stay as they are
};

struct PictureRead {
    QImage image;   // upright (EXIF orientation applied); null when the picture failed
    QString error;  // why, in a few plain words
};

// Reads the picture at `path` (the file system's bytes, whatever their encoding). Only a
// regular file is opened, so a pipe or a device never blocks the read. The crop comes before
// the scaling, so a very thin picture never becomes a huge one on its way to `box`; large
// JPEGs are decoded at a reduced size. When `cancel` becomes true the read ends soon after
// with an error. A picture of more than `max_pixels` (0: the largest the saver's own decoder
// takes), by what its header claims, is refused before it is decoded.
PictureRead read_picture(const std::string& path, QSize box, PictureFit fit,
                         const std::atomic<bool>* cancel = nullptr, int64_t max_pixels = 0);

// The picture format Qt finds in the file's first bytes ("png", "jpeg", ...), or empty when
// it is none or no regular file.
QByteArray picture_format(const std::string& path);

}  // namespace vistaloom
