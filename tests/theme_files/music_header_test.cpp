#include "theme_files/music_header.h"

#include <gtest/gtest.h>

#include <string>

namespace vistaloom {
namespace {

std::string bytes(const char* text, size_t n) {
    return std::string(text, n);
}

// A WAV header with its format fields: tag, channels, rate, block size, bits.
std::string wav(int tag, int channels, unsigned rate, int align, int bits) {
    auto le = [](unsigned v, int n) {
        std::string out;
        for (int i = 0; i < n; ++i) out.push_back(static_cast<char>(v >> (8 * i) & 0xFF));
        return out;
    };
    return "RIFF" + le(40, 4) + "WAVE" + "LIST" + le(3, 4) + "abc" + std::string(1, '\0') + "fmt " +
           le(16, 4) + le(tag, 2) + le(channels, 2) + le(rate, 4) + le(rate * align, 4) +
           le(align, 2) + le(bits, 2) + "data" + le(0, 4);
}

TEST(MusicHeader, RefusesWhatTheDecodersWouldTripOver) {
    const std::string smf = bytes("MThd\0\0\0\6\0\0\0\1\0\x60", 14);
    struct Case {
        std::string head;
        MusicKind kind;
        bool refused;
    } cases[] = {
        {smf, MusicKind::Midi, false},
        {bytes("MThd\0\0\0\6\0\3\0\1\0\x60", 14), MusicKind::Midi, true},  // format 3
        {bytes("MThd\0\0\0\6\0\0\0\0\0\x60", 14), MusicKind::Midi, true},  // no tracks
        {bytes("MThd\0\0\0\6\0\0\0\1\0\0", 14), MusicKind::Midi, true},    // division 0
        {bytes("MThd tune", 9), MusicKind::Midi, true},
        {bytes("RIFF\0\0\0\0RMIDdata\0\0\0\0", 20) + smf, MusicKind::Midi, false},
        {wav(1, 2, 44100, 4, 16), MusicKind::Wav, false},
        {wav(1, 0, 44100, 4, 16), MusicKind::Wav, true},  // the SIGFPE
        {wav(1, 2, 0, 4, 16), MusicKind::Wav, true},
        {wav(1, 2, 44100, 0, 16), MusicKind::Wav, true},
        {wav(1, 2, 44100, 4, 12), MusicKind::Wav, true},
        {wav(1, 2, 44100, 2, 16), MusicKind::Wav, true},  // block smaller than a frame
        {wav(3, 1, 48000, 4, 32), MusicKind::Wav, false},
        {wav(2, 1, 22050, 256, 4), MusicKind::Wav, true},  // ADPCM: the mixer has no decoder
        {bytes("RIFF\0\0\0\0WAVEdata\0\0\0\0", 20), MusicKind::Wav, true},
        {bytes("\xFF\xFB\x90\x64", 4), MusicKind::Mp3, false},
        {bytes("\xFF\xFB\xF0\x64", 4), MusicKind::Mp3, true},  // bit-rate index 15
        {bytes("ID3\4\0\0\0\0\0\0\xFF\xFB\x90\x64", 14), MusicKind::Mp3, false},
        {bytes("ID3\4\0\0\0\0\0\0", 10), MusicKind::Mp3, true},  // a tag, no sound
        {bytes("OggS\0\2", 6), MusicKind::Other, false},
        {bytes("garbage!", 8), MusicKind::Unknown, true},
    };
    for (const Case& c : cases) {
        const MusicHeader header = judge_music_header(c.head, c.head.size());
        EXPECT_EQ(header.kind, c.kind) << c.head;
        EXPECT_EQ(!header.problem.empty(), c.refused) << c.head << ": " << header.problem;
    }
    EXPECT_EQ(judge_music_header(wav(1, 0, 44100, 4, 16), 60).problem, "WAV claims 0 channels");
}

TEST(MusicHeader, OnlyRegularFilesAreRead) {
    EXPECT_FALSE(read_music_header("/dev/null").problem.empty());
    EXPECT_FALSE(read_music_header("/nonexistent/tune.mid").problem.empty());
}

}  // namespace
}  // namespace vistaloom
