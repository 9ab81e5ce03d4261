#include "platform/fluid_midi.h"

#include <SDL_mixer.h>
#include <fluidsynth.h>

#include <cstring>
#include <fstream>

namespace vistaloom {

namespace {

// The tunes are background music under a screen saver: 48 voices are plenty for General
// MIDI pieces and bound the worst case of a dense one.
constexpr int kPolyphony = 48;
// SDL_mixer's level for FluidSynth at full music volume.
constexpr double kGain = 1.2;

}  // namespace

struct FluidMidi::Parts {
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;
    fluid_player_t* player = nullptr;
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
    fluid_settings_setnum(p.settings, "synth.sample-rate", sample_rate);
    fluid_settings_setint(p.settings, "synth.reverb.active", 0);
    fluid_settings_setint(p.settings, "synth.chorus.active", 0);
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

bool FluidMidi::open(const std::string& path) {
    stop();
    close_player();
    Parts& p = *parts_;
    p.player = new_fluid_player(p.synth);
    if (!p.player) return false;
    if (!looks_like_midi(path) || fluid_player_add(p.player, path.c_str()) != FLUID_OK) {
        close_player();
        return false;
    }
    return true;
}

void FluidMidi::play() {
    if (hooked_ || !parts_->player) return;
    if (fluid_player_play(parts_->player) != FLUID_OK) return;
    Mix_HookMusic(&FluidMidi::render, this);
    hooked_ = true;
}

void FluidMidi::stop() {
    if (!hooked_) return;
    // Returns once the audio thread is out of render(): SDL holds the device lock around it.
    Mix_HookMusic(nullptr, nullptr);
    hooked_ = false;
    close_player();
}

bool FluidMidi::finished() const {
    return !parts_->player || fluid_player_get_status(parts_->player) != FLUID_PLAYER_PLAYING;
}

// On SDL's audio thread: 16-bit stereo, the device's format.
void FluidMidi::render(void* self, unsigned char* stream, int bytes) {
    auto* midi = static_cast<FluidMidi*>(self);
    const int frames = bytes / 4;
    fluid_synth_write_s16(midi->parts_->synth, frames, stream, 0, 2, stream, 1, 2);
}

}  // namespace vistaloom
