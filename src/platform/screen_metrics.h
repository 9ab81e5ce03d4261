#pragma once

#include "startup/startup.h"

class QScreen;

namespace vistaloom {

// Twips per pixel of `screen` (the primary screen when null) from its logical resolution:
// 15 at 96 dpi. Without any screen the 96-dpi value is used.
TwipsPerPixel screen_twips_per_pixel(const QScreen* screen = nullptr);

}  // namespace vistaloom
