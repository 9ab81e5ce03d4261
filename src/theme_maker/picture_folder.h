#pragma once
#include <cstddef>
#include <string>
#include <vector>

namespace vistaloom {

// "Name order" as people read it: runs of digits compare by their value, so "img2" comes
// before "img10"; everything else compares byte by byte. Names that differ only in leading
// zeros are ordered by their bytes so the order stays total.
bool name_order_less(const std::string& a, const std::string& b);

// A folder's files sorted into what a theme can use, each list in name order (full paths).
struct PictureFolder {
    std::vector<std::string> pictures;  // what looks like a picture; it may still fail to read
    std::vector<std::string> music;     // MIDI, RMI, WAV and MP3 files
    std::vector<std::string> ignored;   // file names of the rest, to tell the user
    std::string error;                  // set when the folder cannot be listed
};

// Lists the regular files of `folder` (not its subfolders; hidden files are passed over in
// silence). A pipe or device is never opened: reading one could wait for ever.
PictureFolder list_picture_folder(const std::string& folder);

// Which of `available` pictures (0-based, in name order) fill as many places. Fewer than
// places: all of them repeated in order. More: `places` spread evenly from the first to the
// last. Empty when none are available.
std::vector<size_t> spread_pictures(size_t available, size_t places);

}  // namespace vistaloom
