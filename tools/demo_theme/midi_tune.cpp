#include "midi_tune.h"

#include <algorithm>
#include <string>

namespace demo {

namespace {

constexpr int kTicksPerBeat = 480;
constexpr int kBeatsPerBar = 4;
constexpr int kTempoMicroseconds = 600000;  // 100 beats per minute

struct Event {
    int64_t tick;
    int order;  // note-offs before note-ons at the same tick, set-up before both
    std::vector<uint8_t> bytes;
};

struct Chord {
    int bass;
    std::vector<int> tones;
};

struct Note {
    int pitch;
    double beats;
};

void add_note(std::vector<Event>& events, int channel, int pitch, int64_t start, int64_t length,
              int velocity) {
    events.push_back({start,
                      2,
                      {static_cast<uint8_t>(0x90 | channel), static_cast<uint8_t>(pitch),
                       static_cast<uint8_t>(velocity)}});
    events.push_back({start + length,
                      1,
                      {static_cast<uint8_t>(0x80 | channel), static_cast<uint8_t>(pitch), 0}});
}

void put_variable_length(std::vector<uint8_t>& out, uint32_t value) {
    uint8_t groups[5];
    int n = 0;
    do {
        groups[n++] = value & 0x7F;
        value >>= 7;
    } while (value != 0);
    while (n > 1) out.push_back(static_cast<uint8_t>(groups[--n] | 0x80));
    out.push_back(groups[0]);
}

void put_be(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

}  // namespace

std::vector<uint8_t> make_demo_tune() {
    const Chord C{48, {60, 64, 67}}, Am{45, {60, 64, 69}}, F{41, {60, 65, 69}}, G{43, {59, 62, 67}},
        Em{40, {59, 64, 67}}, G7{43, {59, 62, 65, 67}};
    const std::vector<Chord> chords = {C, Am, F, G, C, Am, F, G, F, G, Em, Am, F, G, G7, C};
    const std::vector<std::vector<Note>> melody = {
        {{64, 1}, {67, 1}, {72, 2}},
        {{71, 1}, {69, 1}, {64, 2}},
        {{65, 1}, {69, 1}, {72, 1}, {74, 1}},
        {{71, 3}, {67, 1}},
        {{76, 1}, {74, 0.5}, {72, 0.5}, {67, 2}},
        {{69, 1}, {72, 1}, {76, 2}},
        {{77, 1}, {76, 1}, {74, 1}, {72, 1}},
        {{74, 4}},
        {{72, 1}, {69, 1}, {65, 1}, {69, 1}},
        {{71, 1}, {74, 1}, {79, 2}},
        {{79, 1}, {76, 1}, {71, 2}},
        {{72, 1}, {76, 1}, {81, 2}},
        {{81, 1}, {79, 0.5}, {77, 0.5}, {76, 2}},
        {{74, 1}, {76, 1}, {77, 1}, {74, 1}},
        {{74, 2}, {71, 1}, {74, 1}},
        {{72, 4}},
    };

    enum { kFlute = 0, kStrings = 1, kPiano = 2, kBass = 3 };
    std::vector<Event> events;
    auto setup = [&](int channel, int program, int volume, int reverb) {
        events.push_back(
            {0, 0, {static_cast<uint8_t>(0xC0 | channel), static_cast<uint8_t>(program)}});
        events.push_back(
            {0, 0, {static_cast<uint8_t>(0xB0 | channel), 7, static_cast<uint8_t>(volume)}});
        events.push_back(
            {0, 0, {static_cast<uint8_t>(0xB0 | channel), 91, static_cast<uint8_t>(reverb)}});
    };
    setup(kFlute, 73, 110, 60);   // Flute
    setup(kStrings, 48, 70, 80);  // String Ensemble 1
    setup(kPiano, 0, 80, 50);     // Acoustic Grand Piano
    setup(kBass, 32, 95, 30);     // Acoustic Bass

    const int64_t bar = kTicksPerBeat * kBeatsPerBar;
    const int64_t eighth = kTicksPerBeat / 2;
    for (size_t b = 0; b < chords.size(); ++b) {
        const int64_t start = static_cast<int64_t>(b) * bar;
        const Chord& chord = chords[b];
        const bool last = b + 1 == chords.size();
        for (int tone : chord.tones) add_note(events, kStrings, tone, start, bar - 10, 55);
        add_note(events, kBass, chord.bass, start, 2 * kTicksPerBeat - 30, 90);
        add_note(events, kBass, chord.bass + (last ? 0 : 7), start + 2 * kTicksPerBeat,
                 2 * kTicksPerBeat - 30, 80);
        // Broken chord in eighths: up through the chord and back, an octave below the tune.
        const std::vector<int> pattern = {chord.bass + 12, chord.tones[0],      chord.tones[1],
                                          chord.tones[2],  chord.tones[1] + 12, chord.tones[2],
                                          chord.tones[1],  chord.tones[0]};
        for (int i = 0; i < (last ? 1 : 8); ++i)
            add_note(events, kPiano, pattern[i], start + i * eighth, last ? bar : eighth + 60,
                     i % 2 == 0 ? 58 : 46);
        int64_t at = start;
        for (const Note& note : melody[b]) {
            auto length = static_cast<int64_t>(note.beats * kTicksPerBeat);
            add_note(events, kFlute, note.pitch, at, length - 20, note.beats >= 2 ? 92 : 100);
            at += length;
        }
    }
    std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) {
        return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
    });

    std::vector<uint8_t> track;
    const std::string title = "Vistaloom demo";
    track.insert(track.end(), {0x00, 0xFF, 0x03, static_cast<uint8_t>(title.size())});
    track.insert(track.end(), title.begin(), title.end());
    track.insert(track.end(), {0x00, 0xFF, 0x51, 0x03});
    put_be(track, kTempoMicroseconds, 3);
    track.insert(track.end(), {0x00, 0xFF, 0x58, 0x04, 0x04, 0x02, 0x18, 0x08});
    int64_t now = 0;
    for (const Event& e : events) {
        put_variable_length(track, static_cast<uint32_t>(e.tick - now));
        now = e.tick;
        track.insert(track.end(), e.bytes.begin(), e.bytes.end());
    }
    // A moment of silence after the last chord so the reverb can fade.
    put_variable_length(track, kTicksPerBeat);
    track.insert(track.end(), {0xFF, 0x2F, 0x00});

    std::vector<uint8_t> file = {'M', 'T', 'h', 'd'};
    put_be(file, 6, 4);
    put_be(file, 0, 2);  // format 0: one track
    put_be(file, 1, 2);
    put_be(file, kTicksPerBeat, 2);
    file.insert(file.end(), {'M', 'T', 'r', 'k'});
    put_be(file, static_cast<uint32_t>(track.size()), 4);
    file.insert(file.end(), track.begin(), track.end());
    return file;
}

}  // namespace demo
