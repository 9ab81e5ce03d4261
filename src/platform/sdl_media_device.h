#pragma once
#include <atomic>
#include <future>
#include <memory>
#include <string>

#include "ground/media_device.h"

struct _Mix_Music;

namespace vistaloom {
class FluidMidi;
}

namespace vistaloom {

// The music player over SDL2_mixer.
//
// SDL_mixer has a single music channel per process and a single "music finished" hook, so only
// one SdlMediaDevice may own it at a time. A second one created while the first is alive never
// touches SDL: its commands do nothing and it reports "stopped", so a second saver session in the
// same process simply runs without music.
//
// The audio device is opened on the first "Open" command, not at construction, so a saver run
// with muted audio never touches the sound system. When there is no sound card or the audio
// system cannot be started, every command does nothing and mode() reports stopped: the saver
// carries on silently.
//
// "Open" loads the file on a worker thread unless Wait is set: building a MIDI synthesizer
// loads the whole SoundFont (about a second for the General MIDI one), and the frame loop must
// not stall for that at every track change. "Close" never waits for a load: it asks the load
// to give up and drops its result when it comes, so a saver told to end is gone at once even
// while a long tune is being synthesised. A "Play" that arrives while the file is still
// loading starts it as soon as it is ready, and mode() reports playing meanwhile. mode() and
// every command pick up a finished load, so the saver's per-frame status poll is all it takes.
//
// The device type ("WaveAudio", "Sequencer", "MPEGVideo" or whatever the user configured) is
// kept for diagnostics only: SDL_mixer recognises the format from the file's content.
class SdlMediaDevice : public MediaDevice {
  public:
    // Where the General MIDI SoundFont is looked for when SDL_SOUNDFONTS is not set.
    static constexpr const char* kDefaultSoundFont = "/usr/share/sounds/sf2/FluidR3_GM.sf2";
    // The system's chosen General MIDI SoundFont, used when the one above is not installed.
    static constexpr const char* kAlternativeSoundFont = "/usr/share/sounds/sf2/default-GM.sf2";

    SdlMediaDevice();
    ~SdlMediaDevice() override;
    SdlMediaDevice(const SdlMediaDevice&) = delete;
    SdlMediaDevice& operator=(const SdlMediaDevice&) = delete;

    void set_device_type(const std::string& device_type) override { device_type_ = device_type; }
    void set_filename(const std::string& path) override { filename_ = path; }
    void set_notify(bool notify) override { notify_ = notify; }
    void set_wait(bool wait) override { wait_ = wait; }
    void set_shareable(bool shareable) override { shareable_ = shareable; }
    void command(const std::string& command) override;
    int mode() override;
    bool open_failed() override { return open_failed_; }

    const std::string& device_type() const { return device_type_; }
    const std::string& filename() const { return filename_; }
    // True while a file is still being loaded in the background.
    bool loading() const { return loading_.valid(); }
    // True once the audio device has been opened successfully.
    bool audio_open() const { return audio_open_; }
    // True when this device owns the process's music channel.
    bool owns_music_channel() const { return owner_; }
    // The last failure (audio start, file open, play), for diagnostics; empty when none.
    const std::string& last_error() const { return last_error_; }

  private:
    struct Loaded {
        _Mix_Music* music = nullptr;
        std::unique_ptr<FluidMidi> midi;  // a new synthesizer, with the file opened or not
        bool midi_opened = false;
        std::string error;
    };
    static Loaded load(const std::string& path);
    static Loaded load_on_worker(const std::string& path);

    bool ensure_audio();
    static Loaded load_midi_on_worker(std::unique_ptr<FluidMidi> midi, const std::string& soundfont,
                                      int rate, const std::string& path,
                                      std::shared_ptr<const std::atomic<bool>> cancel);
    // Takes a MIDI file (true), or leaves it to SDL_mixer (false).
    bool open_midi();
    // Takes over a finished background load; with `block`, waits for it first.
    void settle(bool block);
    void take(Loaded loaded);
    // Keeps the synthesizer of a load nobody wants any more and frees the rest.
    void discard(Loaded loaded);
    // Asks a running load to give up; its result is discarded when it comes.
    void abandon_load();
    void do_open();
    void do_play();
    void do_stop();
    void do_close();

    std::string device_type_;
    std::string filename_;
    bool notify_ = false;
    bool wait_ = false;
    bool shareable_ = false;

    bool owner_ = false;
    bool audio_tried_ = false;
    bool audio_subsystem_ = false;
    bool audio_open_ = false;
    bool open_failed_ = false;
    bool play_pending_ = false;
    std::future<Loaded> loading_;
    std::shared_ptr<std::atomic<bool>> cancel_;
    bool abandoned_ = false;
    _Mix_Music* music_ = nullptr;
    std::string soundfont_;
    std::unique_ptr<FluidMidi> midi_;
    bool midi_tried_ = false;
    int midi_rate_ = 0;
    bool midi_open_ = false;
    std::string last_error_;
};

}  // namespace vistaloom
