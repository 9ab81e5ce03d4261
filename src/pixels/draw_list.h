#pragma once
#include <cstdint>
#include <vector>

#include "pixels/surface.h"

namespace vistaloom {

struct SceneSurfaces;

// The scene's pictures by name, so that a frame can be built from them somewhere else than
// in our memory (the display server holding a copy of each).
enum class ScenePicture : uint8_t { Work, Main, Ascreen, Sheet, NoMods };
constexpr int kScenePictures = 5;

// One step of building a frame. A copy is already clipped to both pictures, so replaying it
// needs no knowledge of their sizes. A painted picture was drawn anew in our memory (a
// background, a sheet): whoever holds a copy of it must take its pixels again before the
// steps that follow read it.
struct DrawStep {
    enum class Kind : uint8_t { Copy, Painted };
    Kind kind = Kind::Copy;
    ScenePicture target = ScenePicture::Work;
    ScenePicture source = ScenePicture::Work;
    Rect to;  // in `target`; copies only
    int32_t src_x = 0;
    int32_t src_y = 0;
};

// The scene picture `picture` names.
Surface& scene_picture(SceneSurfaces& surfaces, ScenePicture picture);
const Surface& scene_picture(const SceneSurfaces& surfaces, ScenePicture picture);

// A rectangle copy within the scene, as blit() does it. Where the frame is composed
// elsewhere (SceneSurfaces::composed_elsewhere) a copy between two scene pictures is listed
// in surfaces.draws instead of carried out; a copy that involves any other surface is always
// carried out here. Returns the target rectangle written (or to be written).
Rect scene_blit(SceneSurfaces& surfaces, Surface& target, int32_t dx, int32_t dy,
                const Surface& source, int32_t sx, int32_t sy, int32_t w, int32_t h);

// Sizes `target` (work or main) for the scene. Where the frame is composed elsewhere they
// keep their size for the clipping but hold no pixels: nothing here reads them.
void size_scene_picture(SceneSurfaces& surfaces, Surface& target, int32_t w, int32_t h);

// `picture` was painted anew (all of it) in our memory; listed only where the frame is
// composed elsewhere.
void mark_painted(SceneSurfaces& surfaces, ScenePicture picture);

}  // namespace vistaloom
