#include "pixels/picture_source.h"

#include "pixels/jpeg_loading.h"

namespace vistaloom {

bool ThemeSheetPictures::load_first(SceneSurfaces& surfaces) {
    // A theme that fails to decode still shows its (empty) sheet, as it always has.
    load_theme_pictures(surfaces, items_, install_path_, active_module_);
    return true;
}

}  // namespace vistaloom
