#include "pixels/draw_list.h"

#include <algorithm>
#include <optional>

#include "pixels/scene_surfaces.h"

namespace vistaloom {

namespace {

std::optional<ScenePicture> name_of(const SceneSurfaces& s, const Surface& picture) {
    for (int i = 0; i < kScenePictures; ++i) {
        const auto name = static_cast<ScenePicture>(i);
        if (&scene_picture(s, name) == &picture) return name;
    }
    return std::nullopt;
}

}  // namespace

const Surface& scene_picture(const SceneSurfaces& s, ScenePicture picture) {
    switch (picture) {
        case ScenePicture::Work:
            return s.work;
        case ScenePicture::Main:
            return s.main;
        case ScenePicture::Ascreen:
            return s.ascreen;
        case ScenePicture::Sheet:
            return s.sprite;
        case ScenePicture::NoMods:
            return s.no_mods;
    }
    return s.work;
}

Surface& scene_picture(SceneSurfaces& s, ScenePicture picture) {
    return const_cast<Surface&>(scene_picture(static_cast<const SceneSurfaces&>(s), picture));
}

Rect scene_blit(SceneSurfaces& s, Surface& target, int32_t dx, int32_t dy, const Surface& source,
                int32_t sx, int32_t sy, int32_t w, int32_t h) {
    if (!s.composed_elsewhere) {
        const Rect written = blit(target, dx, dy, source, sx, sy, w, h);
        if (s.composed_in_ascreen && &target == &s.ascreen && written.w > 0 && written.h > 0)
            s.ascreen_written.push_back(written);
        return written;
    }
    const std::optional<ScenePicture> to = name_of(s, target);
    const std::optional<ScenePicture> from = name_of(s, source);
    if (!to || !from) return blit(target, dx, dy, source, sx, sy, w, h);
    const ClippedCopy copy = clip_copy(target, dx, dy, source, sx, sy, w, h);
    if (copy.target.w > 0 && copy.target.h > 0)
        s.draws.push_back({DrawStep::Kind::Copy, *to, *from, copy.target, copy.src_x, copy.src_y});
    return copy.target;
}

void size_scene_picture(SceneSurfaces& s, Surface& target, int32_t w, int32_t h) {
    if (!s.composed_elsewhere) {
        target.resize(w, h);
        return;
    }
    target.pixels = PixelBuffer();  // gives the memory back, which an empty resize keeps
    target.width = std::max(w, 0);
    target.height = std::max(h, 0);
    target.stride = target.width;
}

void mark_painted(SceneSurfaces& s, ScenePicture picture) {
    if (picture == ScenePicture::Ascreen) s.ascreen_painted = true;
    if (s.composed_elsewhere)
        s.draws.push_back({DrawStep::Kind::Painted, picture, picture, {}, 0, 0});
}

}  // namespace vistaloom
