#pragma once

#include "startup/startup.h"

class QScreen;

namespace vistaloom {

// Twips per device pixel of `screen` (the primary screen when null): its logical resolution
// times its device pixel ratio, 15 at 96 dpi and 100%. Without any screen the 96-dpi value
// is used.
TwipsPerPixel screen_twips_per_pixel(const QScreen* screen = nullptr);

}  // namespace vistaloom
