#pragma once
#include <cstdint>
#include <string>

#include "pixels/dib_section.h"
#include "theme_files/theme_items.h"
#include "pixels/scene_surfaces.h"

namespace vistaloom {

// JPEG files are read whole into memory; anything larger is refused before decoding. A
// sprite sheet is well under a megabyte.
inline constexpr int64_t kMaxJpegFileBytes = int64_t{64} * 1024 * 1024;
// No picture side is longer than this. A few hundred bytes of JPEG header can claim a picture
// of 65500 rows; making and clearing that bitmap costs hundreds of megabytes and seconds of
// start-up for a sheet whose pictures are 320 x 240. No screen is larger either.
inline constexpr int32_t kMaxJpegSide = 16384;
// Huffman-coded JPEG data needs at least one bit per 8 x 8 block, so no such file holds more
// than 512 pixels per byte; only a nearly flat arithmetic-coded picture could. A header that
// claims more than this many pixels per byte of file is a trap (hundreds of bytes asking for
// a bitmap of a hundred megabytes), not a sprite sheet.
inline constexpr int64_t kMaxJpegPixelsPerByte = 1024;
// A progressive JPEG is decoded scan by scan over the whole picture, and a few hundred
// kilobytes can hold tens of thousands of tiny scans: minutes of work. Real pictures have
// about ten. TurboJPEG's scan limit, which the sheet decoder asks for, refuses more than this
// many; the other picture readers count the scans themselves against the same figure.
inline constexpr int kMaxJpegScans = 500;

// Decodes the JPEG file at `path` into `target`, created at the picture's size, as bottom-up
// BGR rows with the target's row pitch (grey pictures also give 3 bytes per pixel). True only
// when every pixel was decoded without so much as a warning.
//
// A file is untrusted input. When it cannot be read or its header makes no sense, `target`
// is not created (0 x 0). When the header is sound but the size is over the bitmap limit,
// Create refuses it (0 x 0 as well). When decoding fails after that (truncated or corrupt
// data, colour spaces or precisions the decoder cannot turn into BGR), `target` is left at
// the picture's size and all black, never half painted.
bool DecodeJpegToDib(cDIBSection& target, const std::string& path);

// Extracts theme item 2 (the sprite sheet) of the active theme, decodes it and puts it on
// both `sprite` and `work`, sized to the sheet in pixels. Failure gives 0 x 0 surfaces when
// nothing could be extracted or read, or black ones of the picture's size when decoding
// failed part-way.
void load_theme_pictures(SceneSurfaces& surfaces, const ThemeItems& items,
                         const std::string& install_path, const std::string& active_module);

}  // namespace vistaloom
