#pragma once
#include <string>

namespace vistaloom {

// What a music file holds, judged by its first bytes.
enum class MusicKind { Midi, Wav, Mp3, Other, Unknown };

struct MusicHeader {
    MusicKind kind = MusicKind::Unknown;
    // Why the file must not reach the mixer; empty when it may. The mixer's decoders trust
    // these fields (a WAV of 0 channels divides by zero there), so the saver refuses such a
    // file before playing it and the theme checker reports it in the same words.
    std::string problem;
};

// Reads the header of the music file at `path`. MIDI (also wrapped as .rmi), WAV and MP3 are
// looked at field by field; Ogg and FLAC, which the mixer also takes, only by signature.
MusicHeader read_music_header(const std::string& path);

// The same judgement on bytes already read: `head` is the file's start and `file_size` its
// whole length.
MusicHeader judge_music_header(const std::string& head, unsigned long long file_size);

}  // namespace vistaloom
