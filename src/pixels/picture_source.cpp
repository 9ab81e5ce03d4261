#include "pixels/picture_source.h"

#include "pixels/jpeg_loading.h"

namespace vistaloom {

void ThemeSheetPictures::load_first(SceneSurfaces& surfaces) {
    load_theme_pictures(surfaces, items_, install_path_, active_module_);
}

}  // namespace vistaloom
