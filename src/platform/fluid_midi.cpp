#include "platform/fluid_midi.h"

#include <SDL_mixer.h>
#include <fluidsynth.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

namespace vistaloom {

namespace {

// The tunes are background music under a screen saver: 48 voices are plenty for General
// MIDI pieces and bound the worst case of a dense one.
constexpr int kPolyphony = 48;
// SDL_mixer's level for FluidSynth at full music volume.
constexpr double kGain = 1.2;
// Tunes up to this long are kept in memory once played (10.6 MB a minute at 44.1 kHz).
constexpr int kMaxKeptSeconds = 240;

}  // namespace

struct FluidMidi::Parts {
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;
    fluid_player_t* player = nullptr;
    std::vector<int16_t> tune;        // the whole tune, kept (empty: it plays live)
    std::string tune_source;          // the file the kept tune was made from
    std::string live_source;          // the last file found too long to keep: it plays live at once
    std::atomic<size_t> position{0};  // in samples of `tune`, moved by the audio thread
    int rate = 0;                     // the device's, which the synthesizer runs at
    ~Parts() {
        if (player) delete_fluid_player(player);
        if (synth) delete_fluid_synth(synth);
        if (settings) delete_fluid_settings(settings);
    }
};

bool looks_like_midi(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    char head[12] = {};
    if (!in.read(head, sizeof head)) return false;
    return std::memcmp(head, "MThd", 4) == 0 ||
           (std::memcmp(head, "RIFF", 4) == 0 && std::memcmp(head + 8, "RMID", 4) == 0);
}

std::unique_ptr<FluidMidi> FluidMidi::create(const std::string& soundfont, int sample_rate) {
    // FluidSynth reports every problem on stderr too; the saver carries on without music.
    for (int level = FLUID_PANIC; level < LAST_LOG_LEVEL; ++level)
        fluid_set_log_function(level, nullptr, nullptr);
    std::unique_ptr<FluidMidi> midi(new FluidMidi());
    midi->parts_ = std::make_unique<Parts>();
    Parts& p = *midi->parts_;
    p.settings = new_fluid_settings();
    if (!p.settings) return nullptr;
    // The device's own rate and FluidSynth's own interpolation, reverb and chorus: the sound
    // General MIDI pieces are written for. A kept tune is synthesized once, so its quality
    // costs nothing while it plays; only a tune too long to keep pays for it live.
    p.rate = sample_rate;
    fluid_settings_setnum(p.settings, "synth.sample-rate", p.rate);
    fluid_settings_setint(p.settings, "synth.polyphony", kPolyphony);
    fluid_settings_setint(p.settings, "synth.dynamic-sample-loading", 1);
    fluid_settings_setint(p.settings, "synth.cpu-cores", 1);
    fluid_settings_setnum(p.settings, "synth.gain", kGain);
    p.synth = new_fluid_synth(p.settings);
    if (!p.synth || fluid_synth_sfload(p.synth, soundfont.c_str(), 1) == FLUID_FAILED)
        return nullptr;
    return midi;
}

FluidMidi::~FluidMidi() {
    stop();
}

void FluidMidi::close_player() {
    Parts& p = *parts_;
    if (!p.player) return;
    fluid_player_stop(p.player);
    delete_fluid_player(p.player);
    p.player = nullptr;
    // Notes still sounding from the last tune must not ring into the next.
    fluid_synth_system_reset(p.synth);
}

bool FluidMidi::start_player(const std::string& path) {
    Parts& p = *parts_;
    p.player = new_fluid_player(p.synth);
    if (p.player && fluid_player_add(p.player, path.c_str()) == FLUID_OK) return true;
    close_player();
    return false;
}

// Plays the tune into memory, faster than real time, so that every later playing of it (a
// theme's tracks repeat for as long as the saver runs) costs no synthesis at all. A tune that
// runs past the length worth keeping plays live.
FluidMidi::Render FluidMidi::render_whole(const std::atomic<bool>& cancel) {
    Parts& p = *parts_;
    constexpr int kChunk = 1024;
    const size_t limit = static_cast<size_t>(kMaxKeptSeconds) * p.rate * 2;
    if (fluid_player_play(p.player) != FLUID_OK) return Render::TooLong;
    size_t tail = static_cast<size_t>(p.rate) * 2;  // the last notes' release
    while (fluid_player_get_status(p.player) == FLUID_PLAYER_PLAYING || tail > 0) {
        // A chunk is some 50 microseconds of work: the flag is seen at once.
        if (cancel.load(std::memory_order_relaxed)) return Render::Cancelled;
        if (fluid_player_get_status(p.player) != FLUID_PLAYER_PLAYING)
            tail -= std::min<size_t>(tail, kChunk * 2);
        if (p.tune.size() >= limit) return Render::TooLong;
        const size_t at = p.tune.size();
        p.tune.resize(at + kChunk * 2);
        fluid_synth_write_s16(p.synth, kChunk, p.tune.data() + at, 0, 2, p.tune.data() + at, 1, 2);
    }
    return Render::Kept;
}

bool FluidMidi::open(const std::string& path) {
    const std::atomic<bool> never{false};
    return open(path, never);
}

bool FluidMidi::open(const std::string& path, const std::atomic<bool>& cancel) {
    stop();
    close_player();
    Parts& p = *parts_;
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!looks_like_midi(path)) return false;
    p.position = 0;
    if (!p.tune.empty() && bytes == p.tune_source) return true;  // the same tune again
    // Known to be too long to keep: playing it into memory again would only delay it.
    if (!p.live_source.empty() && bytes == p.live_source) return start_player(path);
    p.tune.clear();
    p.tune_source.clear();
    if (!start_player(path)) return false;
    const Render render = render_whole(cancel);
    close_player();
    if (render == Render::Kept) {
        p.tune.shrink_to_fit();
        p.tune_source = std::move(bytes);
        return true;
    }
    std::vector<int16_t>().swap(p.tune);
    if (render == Render::Cancelled) return false;
    p.live_source = std::move(bytes);
    return start_player(path);
}

void FluidMidi::play() {
    Parts& p = *parts_;
    if (hooked_ || (p.tune.empty() && !p.player)) return;
    if (p.tune.empty() && fluid_player_play(p.player) != FLUID_OK) return;
    Mix_HookMusic(&FluidMidi::render, this);
    hooked_ = true;
}

bool FluidMidi::finished() const {
    const Parts& p = *parts_;
    if (!p.tune.empty()) return p.position.load() >= p.tune.size();
    return !p.player || fluid_player_get_status(p.player) != FLUID_PLAYER_PLAYING;
}

void FluidMidi::stop() {
    if (!hooked_) return;
    // Returns once the audio thread is out of render(): SDL holds the device lock around it.
    Mix_HookMusic(nullptr, nullptr);
    hooked_ = false;
    close_player();
}

// On SDL's audio thread: 16-bit stereo at the device's rate, as the synthesizer makes it.
void FluidMidi::render(void* self, unsigned char* stream, int bytes) {
    auto* midi = static_cast<FluidMidi*>(self);
    Parts& p = *midi->parts_;
    auto* out = reinterpret_cast<int16_t*>(stream);
    const auto samples = static_cast<size_t>(bytes / 4) * 2;
    if (p.tune.empty()) {
        fluid_synth_write_s16(p.synth, static_cast<int>(samples / 2), out, 0, 2, out, 1, 2);
        return;
    }
    const size_t from = std::min(p.position.load(), p.tune.size());
    const size_t n = std::min(samples, p.tune.size() - from);
    std::copy_n(p.tune.begin() + static_cast<std::ptrdiff_t>(from), n, out);
    std::fill(out + n, out + samples, int16_t{0});
    p.position.store(from + n);
}

}  // namespace vistaloom
