#include "theme_files/music_header.h"

#include <cstdint>
#include <filesystem>
#include <fstream>

namespace vistaloom {

namespace {

// Enough for the chunks a WAV puts before its format (LIST, bext, JUNK padding).
constexpr size_t kHeadBytes = 64 * 1024;
// The mixer converts at most 8 channels (7.1).
constexpr uint32_t kMaxChannels = 8;
constexpr uint32_t kMaxSampleRate = 768000;

uint32_t le(const std::string& b, size_t at, int count) {
    uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(b[at + static_cast<size_t>(i)]);
    return value;
}

uint32_t be(const std::string& b, size_t at, int count) {
    uint32_t value = 0;
    for (int i = 0; i < count; ++i)
        value = value << 8 | static_cast<unsigned char>(b[at + static_cast<size_t>(i)]);
    return value;
}

bool starts(const std::string& b, size_t at, const char* tag, size_t n) {
    return b.size() >= at + n && b.compare(at, n, tag, n) == 0;
}

MusicHeader refuse(MusicKind kind, const std::string& why) {
    return MusicHeader{kind, why};
}

MusicHeader judge_smf(const std::string& b, size_t at) {
    if (b.size() < at + 14) return refuse(MusicKind::Midi, "MIDI header is cut short");
    if (be(b, at + 4, 4) < 6) return refuse(MusicKind::Midi, "MIDI header is too short");
    const uint32_t format = be(b, at + 8, 2);
    const uint32_t tracks = be(b, at + 10, 2);
    const uint32_t division = be(b, at + 12, 2);
    if (format > 2) return refuse(MusicKind::Midi, "MIDI format " + std::to_string(format));
    if (tracks == 0) return refuse(MusicKind::Midi, "MIDI file without tracks");
    if (division & 0x8000) {
        const int frames = -static_cast<int8_t>(division >> 8);
        if ((frames != 24 && frames != 25 && frames != 29 && frames != 30) ||
            (division & 0xFF) == 0)
            return refuse(MusicKind::Midi, "MIDI time division is broken");
    } else if (division == 0) {
        return refuse(MusicKind::Midi, "MIDI time division is 0");
    }
    return MusicHeader{MusicKind::Midi, {}};
}

// The fields every decoder divides or multiplies by; 0 or absurd values are refused.
std::string wav_format_problem(const std::string& b, size_t at, uint32_t size) {
    if (size < 16 || b.size() < at + 16) return "WAV format chunk is cut short";
    uint32_t tag = le(b, at, 2);
    const uint32_t channels = le(b, at + 2, 2);
    const uint32_t rate = le(b, at + 4, 4);
    const uint32_t align = le(b, at + 12, 2);
    const uint32_t bits = le(b, at + 14, 2);
    if (channels == 0 || channels > kMaxChannels)
        return "WAV claims " + std::to_string(channels) + " channels";
    if (rate == 0 || rate > kMaxSampleRate)
        return "WAV claims a sample rate of " + std::to_string(rate);
    if (align == 0) return "WAV claims a block size of 0";
    if (tag == 0xFFFE) {
        if (size < 40 || b.size() < at + 26) return "WAV extensible format chunk is cut short";
        tag = le(b, at + 24, 2);
    }
    const bool pcm_bits = bits == 8 || bits == 16 || bits == 24 || bits == 32;
    switch (tag) {
        case 1:  // PCM
            if (!pcm_bits) return "WAV claims " + std::to_string(bits) + "-bit samples";
            break;
        case 3:  // IEEE float
            if (bits != 32 && bits != 64)
                return "WAV claims " + std::to_string(bits) + "-bit float samples";
            break;
        case 6:  // A-law
        case 7:  // mu-law
            if (bits != 8) return "WAV claims " + std::to_string(bits) + "-bit A-law/mu-law";
            break;
        default:
            return "WAV sample format " + std::to_string(tag) + " is not supported";
    }
    if (align < channels * (bits / 8)) return "WAV block size is smaller than one frame";
    return {};
}

MusicHeader judge_wav(const std::string& b) {
    for (size_t at = 12; at + 8 <= b.size();) {
        const uint32_t size = le(b, at + 4, 4);
        if (starts(b, at, "fmt ", 4)) {
            std::string problem = wav_format_problem(b, at + 8, size);
            return MusicHeader{MusicKind::Wav, std::move(problem)};
        }
        // Chunks are padded to even lengths.
        const unsigned long long next = at + 8ULL + size + (size & 1);
        if (next > b.size()) break;
        at = static_cast<size_t>(next);
    }
    return refuse(MusicKind::Wav, "WAV without a format chunk");
}

MusicHeader judge_mp3_frame(const std::string& b, size_t at) {
    const auto byte = [&b, at](size_t i) { return static_cast<unsigned char>(b[at + i]); };
    const bool version_ok = ((byte(1) >> 3) & 3) != 1;
    const bool layer_ok = ((byte(1) >> 1) & 3) != 0;
    const bool bitrate_ok = (byte(2) >> 4) != 15;
    const bool rate_ok = ((byte(2) >> 2) & 3) != 3;
    if (!version_ok || !layer_ok || !bitrate_ok || !rate_ok)
        return refuse(MusicKind::Mp3, "MP3 frame header is broken");
    return MusicHeader{MusicKind::Mp3, {}};
}

bool mp3_sync(const std::string& b, size_t at) {
    return b.size() >= at + 4 && static_cast<unsigned char>(b[at]) == 0xFF &&
           (static_cast<unsigned char>(b[at + 1]) & 0xE0) == 0xE0;
}

MusicHeader judge_id3(const std::string& b, unsigned long long file_size) {
    if (b.size() < 10) return refuse(MusicKind::Mp3, "ID3 tag is cut short");
    uint32_t tag = 0;
    for (size_t i = 6; i < 10; ++i) {
        const auto c = static_cast<unsigned char>(b[i]);
        if (c & 0x80) return refuse(MusicKind::Mp3, "ID3 tag size is broken");
        tag = tag << 7 | c;
    }
    const unsigned long long frame = 10ULL + tag + ((b[5] & 0x10) ? 10 : 0);
    if (frame >= file_size) return refuse(MusicKind::Mp3, "MP3 holds only a tag");
    // A tag longer than what was read leaves the first frame unseen; the mixer looks itself.
    if (frame + 4 > b.size()) return MusicHeader{MusicKind::Mp3, {}};
    const auto at = static_cast<size_t>(frame);
    if (!mp3_sync(b, at)) return refuse(MusicKind::Mp3, "no MP3 frame follows the tag");
    return judge_mp3_frame(b, at);
}

}  // namespace

MusicHeader judge_music_header(const std::string& b, unsigned long long file_size) {
    if (file_size == 0) return refuse(MusicKind::Unknown, "file is empty");
    if (starts(b, 0, "MThd", 4)) return judge_smf(b, 0);
    if (starts(b, 0, "RIFF", 4) && starts(b, 8, "RMID", 4)) {
        if (!starts(b, 12, "data", 4) || !starts(b, 20, "MThd", 4))
            return refuse(MusicKind::Midi, "RIFF MIDI without a MIDI header");
        return judge_smf(b, 20);
    }
    if (starts(b, 0, "RIFF", 4) && starts(b, 8, "WAVE", 4)) return judge_wav(b);
    if (starts(b, 0, "ID3", 3)) return judge_id3(b, file_size);
    if (mp3_sync(b, 0)) return judge_mp3_frame(b, 0);
    if (starts(b, 0, "OggS", 4) || starts(b, 0, "fLaC", 4))
        return MusicHeader{MusicKind::Other, {}};
    return refuse(MusicKind::Unknown, "not a MIDI, WAV or MP3 file");
}

MusicHeader read_music_header(const std::string& path) {
    // A FIFO or a device would block the reader or never end.
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return refuse(MusicKind::Unknown, "not a regular file");
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) return refuse(MusicKind::Unknown, "file cannot be read");
    const std::streamoff end = in.tellg();
    if (end < 0) return refuse(MusicKind::Unknown, "file cannot be read");
    in.seekg(0);
    std::string head(kHeadBytes, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<size_t>(in.gcount()));
    return judge_music_header(head, static_cast<unsigned long long>(end));
}

}  // namespace vistaloom
