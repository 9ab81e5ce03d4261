#pragma once
#include <string>

namespace vistaloom {

struct SceneSurfaces;
struct Surface;
struct ThemeItems;

// Where a session's twenty pictures come from, in the sheet layout (pixels/sheet_layout.h).
// The session asks once when the run is set up, and again at every scene change, at the one
// moment no picture is on screen. A source that prepares its pictures elsewhere (a worker
// thread) hands them over there when they are ready; it never makes a frame wait.
class PictureSource {
  public:
    virtual ~PictureSource() = default;

    // The first scene's pictures, on `surfaces.sprite`. False when the source has none to give
    // (a photo folder that is gone or holds nothing readable): the session then shows the
    // installed themes instead, and this source is not asked again in the run.
    virtual bool load_first(SceneSurfaces& surfaces) = 0;

    // The next scene's pictures: puts them on `sheet` and returns true, or returns false and
    // leaves `sheet` alone when the pictures it holds stay. Must not block.
    virtual bool take_next(Surface& sheet) = 0;
};

// The active theme's sprite sheet: the same pictures for every scene of the run.
class ThemeSheetPictures : public PictureSource {
  public:
    // All three are read when the pictures are loaded, after the run has chosen its theme.
    ThemeSheetPictures(const ThemeItems& items, const std::string& install_path,
                       const std::string& active_module)
        : items_(items), install_path_(install_path), active_module_(active_module) {}

    bool load_first(SceneSurfaces& surfaces) override;
    bool take_next(Surface&) override { return false; }

  private:
    const ThemeItems& items_;
    const std::string& install_path_;
    const std::string& active_module_;
};

}  // namespace vistaloom
