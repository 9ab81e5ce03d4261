#pragma once
// The twenty pictures of the demo theme's sprite sheet.
#include "painting.h"

namespace demo {

Rgb sunset_sea(double x, double y);
Rgb mountains_dawn(double x, double y);
Rgb aurora(double x, double y);
Rgb desert_dunes(double x, double y);
Rgb tropical_lagoon(double x, double y);
Rgb green_hills(double x, double y);
Rgb moonlit_peaks(double x, double y);
Rgb golden_rays(double x, double y);
Rgb city_dusk(double x, double y);

Rgb plasma(double x, double y);
Rgb mandala(double x, double y);
Rgb nebula(double x, double y);
Rgb kaleidoscope(double x, double y);
Rgb julia(double x, double y);
Rgb mandelbrot(double x, double y);
Rgb stained_glass(double x, double y);
Rgb ripples(double x, double y);
Rgb spiral(double x, double y);
Rgb lava_lamp(double x, double y);
Rgb agate(double x, double y);

// Cell order on the sheet, landscapes and patterns taking turns.
inline constexpr Painter kScenes[20] = {sunset_sea,     mandala,   aurora,          plasma,
                                        mountains_dawn, julia,     tropical_lagoon, stained_glass,
                                        desert_dunes,   nebula,    green_hills,     kaleidoscope,
                                        city_dusk,      ripples,   moonlit_peaks,   spiral,
                                        golden_rays,    lava_lamp, agate,           mandelbrot};

}  // namespace demo
