#include "saver/music_player.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "ground/media_device.h"
#include "ground/random_source.h"
#include "startup/run_state.h"
#include "startup/saver_settings.h"

namespace vistaloom {

namespace {

// Highest track number whose item number (track + 2) still fits a 32-bit item index.
constexpr double kMaxTrack = 2147483645.0;

// Int(1 + fraction x count), kept inside 1..kMaxTrack so a damaged count cannot overflow.
int32_t random_track(double fraction, double count) {
    double track = std::floor(1.0 + fraction * count);
    if (!(track >= 1.0)) return 1;
    return static_cast<int32_t>(std::min(track, kMaxTrack));
}

int32_t next_in_order(int32_t track, double count) {
    if (track >= static_cast<int32_t>(kMaxTrack)) return 1;
    ++track;
    if (track > count) track = 1;
    return track;
}

// The first track from `track` on, in order, that has not failed; 0 when every one has.
int32_t first_untried(const MusicContext& music, int32_t track, double count) {
    const std::set<int32_t>& failed = music.failed_tracks;
    for (size_t looked = 0; looked <= failed.size(); ++looked) {
        if (failed.count(track) == 0) return track;
        track = next_in_order(track, count);
    }
    return 0;
}

// Moves to the next track (in order or drawn), passing over the failed ones.
bool choose_track(MusicContext& music, double count) {
    RunState& run = music.run;
    run.music_track = next_in_order(run.music_track, count);
    if (is_one(music.settings.random_music)) {
        music.random.reseed_from_clock();
        run.music_track = random_track(music.random.next(), count);
    }
    const int32_t track = first_untried(music, run.music_track, count);
    if (track == 0) return false;
    run.music_track = track;
    return true;
}

}  // namespace

std::string device_type_for(const std::string& path, const SaverSettings& settings) {
    std::string ending = path.size() > 3 ? path.substr(path.size() - 3) : path;
    for (char& c : ending) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (ending == "MID" || ending == "RMI") return settings.midi_devicename;
    if (ending == "WAV") return settings.wav_devicename;
    if (ending == "MP3") return settings.mp3_devicename;
    return {};
}

void play_next_track(MusicContext& music, MediaDevice& device) {
    RunState& run = music.run;
    if (run.music_playing == 1) return;
    // Stop and close before extracting: the extractor overwrites the previous track's file.
    stop_music(music, device);

    std::string file;
    if (is_one(music.settings.custom_music_flag)) {
        if (!choose_track(music, run.custom_music_count)) return;
        const auto index = static_cast<size_t>(run.music_track);
        if (run.music_track < 1 || index >= music.custom_music_list.size()) return;
        file = music.custom_music_list[index];
    } else {
        // Without a track there is no item to ask for; asking would fetch whatever item
        // follows the pictures, or hand the failure text to the player as a file name.
        if (!(run.music_count >= 1.0)) return;
        if (!choose_track(music, run.music_count)) return;
        if (!music.extract_item) return;
        file = music.extract_item(run.music_track + 2);
    }
    if (file.empty() || file == "False") {
        music.failed_tracks.insert(run.music_track);
        return;
    }
    play_music_file(music, file, device);
    music.started_track = run.music_track;
}

void play_music_file(MusicContext& music, const std::string& path, MediaDevice& device) {
    device.command("Stop");
    device.command("Close");
    device.set_notify(true);
    device.set_wait(false);
    device.set_shareable(false);
    const std::string type = device_type_for(path, music.settings);
    if (!type.empty()) device.set_device_type(type);
    device.set_filename(path);
    device.command("Open");
    music.run.music_playing = 1;
    device.command("Play");
}

void stop_music(MusicContext& music, MediaDevice& device) {
    device.command("Stop");
    device.command("Close");
    music.run.music_playing = 0;
    music.started_track = 0;
}

void MMControl1_StatusUpdate(MusicContext& music, MediaDevice& device) {
    if (device.mode() != MediaDevice::kModeStopped) return;
    music.run.music_playing = 0;
    if (music.started_track != 0 && device.open_failed())
        music.failed_tracks.insert(music.started_track);
}

}  // namespace vistaloom
