#include "platform/screen_metrics.h"

#include <QGuiApplication>
#include <QScreen>

namespace vistaloom {

TwipsPerPixel screen_twips_per_pixel(const QScreen* screen) {
    if (screen == nullptr && qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        screen = QGuiApplication::primaryScreen();
    }
    if (screen == nullptr) return {};
    // The scene is measured in the screen's real pixels, so a twip is counted against those:
    // a 200% screen has twice the pixels per inch of its device-independent ones.
    const qreal ratio = screen->devicePixelRatio() > 0 ? screen->devicePixelRatio() : 1.0;
    return {twips_per_pixel_from_dpi(screen->logicalDotsPerInchX() * ratio),
            twips_per_pixel_from_dpi(screen->logicalDotsPerInchY() * ratio)};
}

}  // namespace vistaloom
