#include "platform/sdl_media_device.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/fluid_midi.h"
#include "theme_files/music_header.h"

namespace vistaloom {

namespace {

// SDL_mixer keeps one music channel and one finished-hook per process; these two go with it.
std::atomic<bool> g_channel_taken{false};
std::atomic<bool> g_music_finished{false};

// Runs on SDL's audio thread with the audio device locked: touching SDL_mixer here would
// deadlock, so it only raises a flag that mode() reads on the UI thread.
void on_music_finished() {
    g_music_finished.store(true, std::memory_order_release);
}

void log_debug(const char* what, const std::string& detail) {
    // Silent unless the user turns SDL's audio logging on (SDL_LOGGING=audio=debug).
    SDL_LogDebug(SDL_LOG_CATEGORY_AUDIO, "vistaloom music: %s %s", what, detail.c_str());
}

bool file_exists(const char* path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

}  // namespace

SdlMediaDevice::SdlMediaDevice() {
    owner_ = !g_channel_taken.exchange(true);
}

SdlMediaDevice::~SdlMediaDevice() {
    if (!owner_) return;
    // A load still running uses SDL_mixer or the synthesizer: it stops at its next step.
    abandon_load();
    settle(true);
    if (audio_open_) {
        do_close();
        midi_.reset();
        Mix_HookMusicFinished(nullptr);
        Mix_CloseAudio();
        Mix_Quit();
    }
    if (audio_subsystem_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    g_channel_taken.store(false);
}

bool SdlMediaDevice::ensure_audio() {
    if (!owner_) return false;
    if (audio_tried_) return audio_open_;
    audio_tried_ = true;

    // The program handles SIGINT/SIGTERM itself (a screen-saver daemon stops it that way);
    // SDL must not replace those handlers with its own quit-event ones.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        last_error_ = SDL_GetError();
        log_debug("audio start failed:", last_error_);
        return false;
    }
    audio_subsystem_ = true;
    // MIDI goes through FluidSynth, which needs a SoundFont. A user's own choice in
    // SDL_SOUNDFONTS wins; otherwise use the General MIDI one the Debian package installs.
    const char* user_fonts = std::getenv("SDL_SOUNDFONTS");
    if (user_fonts == nullptr || *user_fonts == '\0') {
        for (const char* font : {kDefaultSoundFont, kAlternativeSoundFont}) {
            if (file_exists(font)) {
                Mix_SetSoundFonts(font);
                soundfont_ = font;
                break;
            }
        }
    } else {
        const std::string fonts = user_fonts;
        soundfont_ = fonts.substr(0, fonts.find_first_of(":;"));
    }
    // Decoders that are missing only mean those formats will not open; not a reason to give up.
    Mix_Init(MIX_INIT_MID | MIX_INIT_MP3 | MIX_INIT_OGG | MIX_INIT_FLAC);
    if (Mix_OpenAudio(44100, MIX_DEFAULT_FORMAT, 2, 2048) != 0) {
        last_error_ = Mix_GetError();
        log_debug("audio device failed:", last_error_);
        Mix_Quit();
        return false;
    }
    Mix_HookMusicFinished(on_music_finished);
    audio_open_ = true;
    return true;
}

SdlMediaDevice::Loaded SdlMediaDevice::load(const std::string& path) {
    Loaded loaded;
    loaded.music = Mix_LoadMUS(path.c_str());
    // SDL keeps its error text per thread, so it has to be read here.
    if (loaded.music == nullptr) loaded.error = Mix_GetError();
    return loaded;
}

SdlMediaDevice::Loaded SdlMediaDevice::load_on_worker(const std::string& path) {
    Loaded loaded = load(path);
    // SDL frees per-thread data only for threads it started itself; this one is ours.
    SDL_TLSCleanup();
    return loaded;
}

void SdlMediaDevice::settle(bool block) {
    if (!loading_.valid()) return;
    if (!block && loading_.wait_for(std::chrono::seconds(0)) != std::future_status::ready) return;
    Loaded loaded = loading_.get();
    if (abandoned_) {
        abandoned_ = false;
        discard(std::move(loaded));
        return;
    }
    take(std::move(loaded));
}

void SdlMediaDevice::abandon_load() {
    if (!loading_.valid() || abandoned_) return;
    if (cancel_) cancel_->store(true);
    abandoned_ = true;
}

void SdlMediaDevice::discard(Loaded loaded) {
    if (loaded.music != nullptr) Mix_FreeMusic(loaded.music);
    if (loaded.midi) midi_ = std::move(loaded.midi);
    midi_open_ = false;
}

void SdlMediaDevice::take(Loaded loaded) {
    music_ = loaded.music;
    if (loaded.midi) {
        midi_ = std::move(loaded.midi);
        midi_open_ = loaded.midi_opened;
    }
    if (music_ == nullptr && !midi_open_) {
        open_failed_ = true;
        play_pending_ = false;
        last_error_ = loaded.error;
        log_debug(("open failed (" + device_type_ + "):").c_str(), filename_ + ": " + last_error_);
        return;
    }
    log_debug(("opened (" + device_type_ + ")").c_str(), filename_);
    if (play_pending_) {
        play_pending_ = false;
        do_play();
    }
}

void SdlMediaDevice::command(const std::string& command) {
    settle(false);
    if (command == "Open") {
        do_open();
    } else if (command == "Play") {
        do_play();
    } else if (command == "Stop") {
        do_stop();
    } else if (command == "Close") {
        do_close();
    } else {
        log_debug("ignored command", command);
    }
}

// MIDI goes through a FluidSynth of our own (see FluidMidi) where one starts. Building it
// reads the SoundFont and opening a tune plays it into memory, so both happen on the worker
// thread, like any load; the synthesizer travels there and back with the load.
SdlMediaDevice::Loaded SdlMediaDevice::load_midi_on_worker(
    std::unique_ptr<FluidMidi> midi, const std::string& soundfont, int rate,
    const std::string& path, std::shared_ptr<const std::atomic<bool>> cancel) {
    Loaded loaded;
    loaded.midi = midi ? std::move(midi) : FluidMidi::create(soundfont, rate);
    if (!loaded.midi) return load_on_worker(path);
    loaded.midi_opened = loaded.midi->open(path, *cancel);
    if (!loaded.midi_opened) loaded.error = "FluidSynth cannot play this file";
    return loaded;
}

bool SdlMediaDevice::open_midi() {
    if (!looks_like_midi(filename_)) return false;
    if (!midi_) {
        if (midi_tried_) return false;
        midi_tried_ = true;
        int channels = 0;
        Uint16 format = 0;
        // The synthesizer writes 16-bit stereo at the device's rate; else SDL_mixer plays MIDI.
        if (soundfont_.empty() || Mix_QuerySpec(&midi_rate_, &format, &channels) == 0 ||
            format != AUDIO_S16SYS || channels != 2)
            return false;
    }
    cancel_ = std::make_shared<std::atomic<bool>>(false);
    loading_ = std::async(std::launch::async, &SdlMediaDevice::load_midi_on_worker,
                          std::move(midi_), soundfont_, midi_rate_, filename_, cancel_);
    return true;
}

void SdlMediaDevice::do_open() {
    // A device that is already open is closed first rather than leaking its music; a load
    // it abandoned ends within a step of its work, and only one load runs at a time.
    do_close();
    settle(true);
    if (!ensure_audio()) {
        open_failed_ = true;
        return;
    }
    // The decoders trust the header's fields (a WAV of 0 channels divides by zero there).
    const MusicHeader header = read_music_header(filename_);
    if (!header.problem.empty()) {
        open_failed_ = true;
        last_error_ = header.problem;
        log_debug("refused:", filename_ + ": " + last_error_);
        return;
    }
    if (open_midi()) return;
    if (wait_) {
        take(load(filename_));
        return;
    }
    // Only one load runs at a time (settled above), so SDL_mixer never builds two decoders
    // at once.
    cancel_.reset();
    loading_ = std::async(std::launch::async, &SdlMediaDevice::load_on_worker, filename_);
}

void SdlMediaDevice::do_play() {
    if (loading_.valid()) {
        if (!abandoned_) play_pending_ = true;
        return;
    }
    if (midi_open_) {
        midi_->play();
        return;
    }
    if (music_ == nullptr) return;
    if (Mix_PlayingMusic() != 0 && !g_music_finished.load(std::memory_order_acquire)) return;
    g_music_finished.store(false, std::memory_order_release);
    if (Mix_PlayMusic(music_, 0) != 0) {
        last_error_ = Mix_GetError();
        log_debug("play failed:", filename_ + ": " + last_error_);
        g_music_finished.store(true, std::memory_order_release);
    }
}

void SdlMediaDevice::do_stop() {
    play_pending_ = false;
    if (midi_) midi_->stop();
    if (music_ == nullptr) return;
    Mix_HaltMusic();
    g_music_finished.store(true, std::memory_order_release);
}

void SdlMediaDevice::do_close() {
    // A load still running is left to end by itself: closing must never wait for it.
    play_pending_ = false;
    abandon_load();
    settle(false);
    open_failed_ = false;
    if (midi_) midi_->stop();
    midi_open_ = false;
    if (music_ == nullptr) return;
    Mix_HaltMusic();
    Mix_FreeMusic(music_);
    music_ = nullptr;
    g_music_finished.store(true, std::memory_order_release);
}

int SdlMediaDevice::mode() {
    // Without a working audio device every track "stops" at once, so the saver moves on
    // without waiting for music that will never play.
    if (!owner_ || (audio_tried_ && !audio_open_)) return kModeStopped;
    settle(false);
    if (loading_.valid() && !abandoned_) return play_pending_ ? kModePlaying : kModeStopped;
    if (loading_.valid()) return kModeNotOpen;
    if (midi_open_) return midi_->playing() && !midi_->finished() ? kModePlaying : kModeStopped;
    // A file that would not open reports stopped as well: the next music step then tries the
    // next track instead of one bad track silencing the rest of the run.
    if (music_ == nullptr) return open_failed_ ? kModeStopped : kModeNotOpen;
    if (g_music_finished.load(std::memory_order_acquire) || Mix_PlayingMusic() == 0) {
        return kModeStopped;
    }
    return kModePlaying;
}

}  // namespace vistaloom
