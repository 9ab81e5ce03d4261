#pragma once
#include <QImage>

#include "pixels/surface.h"

namespace vistaloom {

// The surface as an image, without a copy: the image reads the surface's pixels in place,
// so it must not outlive them nor be kept across a resize of the surface.
inline QImage wrap(const Surface& surface) {
    return QImage(reinterpret_cast<const uchar*>(surface.pixels.data()), surface.width,
                  surface.height, static_cast<qsizetype>(surface.stride) * 4, QImage::Format_RGB32);
}

}  // namespace vistaloom
