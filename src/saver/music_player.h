#pragma once
#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace vistaloom {

class MediaDevice;
class RandomSource;
struct RunState;
struct SaverSettings;

// What the music step works on: the run's music position, the settings that choose the
// order and the device types, and the way to get a track's file. Track n of a theme is its
// item n + 2; `extract_item` copies an item out and returns its path, or "False".
struct MusicContext {
    RunState& run;
    const SaverSettings& settings;
    RandomSource& random;
    const std::vector<std::string>& custom_music_list;  // positions from 1
    std::function<std::string(int32_t item)> extract_item;
    // Tracks that could not be copied out or played (no audio device, a refused file): each
    // is tried once, so a run without sound does not extract and open them again and again.
    std::set<int32_t> failed_tracks{};
    int32_t started_track = 0;  // the track last handed to the device, 0 for none
};

// The device type a file plays on, chosen by the last three characters of its path,
// upper-cased; an unknown ending gives the empty text (the type stays as it was).
std::string device_type_for(const std::string& path, const SaverSettings& settings);

// Starts the next track unless one is playing. A theme without tracks, or a track that cannot
// be copied out, leaves the device closed and idle rather than asking it to open a file
// that does not exist.
void play_next_track(MusicContext& music, MediaDevice& device);

// Stops whatever plays, then opens and plays `path`.
void play_music_file(MusicContext& music, const std::string& path, MediaDevice& device);

// Stops and closes the device; afterwards nothing is playing.
void stop_music(MusicContext& music, MediaDevice& device);

// The device's status: once it reports the stopped mode, the next music step starts the
// next track; a track the device could not open is not tried again.
void MMControl1_StatusUpdate(MusicContext& music, MediaDevice& device);

}  // namespace vistaloom
