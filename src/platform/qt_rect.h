#pragma once
#include <QRect>

#include "pixels/surface.h"

namespace vistaloom {

// The core's rectangles and the toolkit's hold the same four numbers.
inline QRect to_qrect(const Rect& r) {
    return QRect(r.x, r.y, r.w, r.h);
}

inline Rect to_rect(const QRect& r) {
    return {r.x(), r.y(), r.width(), r.height()};
}

}  // namespace vistaloom
