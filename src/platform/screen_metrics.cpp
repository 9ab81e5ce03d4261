#include "platform/screen_metrics.h"

#include <QGuiApplication>
#include <QScreen>

namespace vistaloom {

TwipsPerPixel screen_twips_per_pixel(const QScreen* screen) {
    if (screen == nullptr && qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        screen = QGuiApplication::primaryScreen();
    }
    if (screen == nullptr) return {};
    return {twips_per_pixel_from_dpi(screen->logicalDotsPerInchX()),
            twips_per_pixel_from_dpi(screen->logicalDotsPerInchY())};
}

}  // namespace vistaloom
