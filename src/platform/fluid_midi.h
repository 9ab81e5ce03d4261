#pragma once
#include <atomic>
#include <memory>
#include <string>

namespace vistaloom {

// MIDI through FluidSynth driven by us rather than by SDL_mixer, which builds a new
// synthesizer for every track: the whole General MIDI SoundFont read in again (some 140 MB
// held in memory). Here one synthesizer lives for the run, loads only the instruments a tune
// uses, and runs at a modest polyphony at the device's rate with FluidSynth's own sound. A
// tune of a few minutes is played into memory once when it is opened (a theme's tracks
// repeat all run long), so playing it costs next to nothing. The samples feed SDL_mixer's
// music hook. Opening therefore takes a moment: do it off the UI thread.
class FluidMidi {
  public:
    // Null when FluidSynth cannot start or the SoundFont does not load.
    static std::unique_ptr<FluidMidi> create(const std::string& soundfont, int sample_rate);
    ~FluidMidi();
    FluidMidi(const FluidMidi&) = delete;
    FluidMidi& operator=(const FluidMidi&) = delete;

    // Prepares a file to play from its start; false when it is no MIDI file FluidSynth takes,
    // or when `cancel` was raised meanwhile (playing a tune into memory takes seconds for a
    // long dense one, and a saver told to end must not wait for it). Not while playing.
    bool open(const std::string& path, const std::atomic<bool>& cancel);
    bool open(const std::string& path);
    // Starts and stops sending samples to the audio device.
    void play();
    void stop();
    bool playing() const { return hooked_; }
    // The tune has ended (or was never started).
    bool finished() const;

  private:
    FluidMidi() = default;
    static void render(void* self, unsigned char* stream, int bytes);
    void close_player();
    bool start_player(const std::string& path);
    enum class Render { Kept, TooLong, Cancelled };
    Render render_whole(const std::atomic<bool>& cancel);

    struct Parts;
    std::unique_ptr<Parts> parts_;
    bool hooked_ = false;
};

// True when the file starts like a Standard MIDI File (or its RIFF wrapping, .rmi).
bool looks_like_midi(const std::string& path);

}  // namespace vistaloom
