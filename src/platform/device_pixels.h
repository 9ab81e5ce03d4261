#pragma once
#include <QRect>
#include <QRegion>
#include <cmath>

namespace vistaloom {

// The session measures in device pixels, the toolkit's widgets in device-independent ones;
// on a 200% screen one of these is two of those. Both directions round outward, so that a
// rectangle converted covers every pixel of the one it came from.
inline QRect device_from_logical(const QRect& logical, qreal ratio) {
    return QRect(QPoint(static_cast<int>(std::floor(logical.left() * ratio)),
                        static_cast<int>(std::floor(logical.top() * ratio))),
                 QPoint(static_cast<int>(std::ceil((logical.right() + 1) * ratio)) - 1,
                        static_cast<int>(std::ceil((logical.bottom() + 1) * ratio)) - 1));
}

inline QRect logical_from_device(const QRect& device, qreal ratio) {
    return QRect(QPoint(static_cast<int>(std::floor(device.left() / ratio)),
                        static_cast<int>(std::floor(device.top() / ratio))),
                 QPoint(static_cast<int>(std::ceil((device.right() + 1) / ratio)) - 1,
                        static_cast<int>(std::ceil((device.bottom() + 1) / ratio)) - 1));
}

inline QRegion logical_from_device(const QRegion& device, qreal ratio) {
    if (ratio == 1.0) return device;
    QRegion logical;
    for (const QRect& r : device) logical += logical_from_device(r, ratio);
    return logical;
}

inline QRegion device_from_logical(const QRegion& logical, qreal ratio) {
    if (ratio == 1.0) return logical;
    QRegion device;
    for (const QRect& r : logical) device += device_from_logical(r, ratio);
    return device;
}

}  // namespace vistaloom
