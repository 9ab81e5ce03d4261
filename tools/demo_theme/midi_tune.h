#pragma once
#include <cstdint>
#include <vector>

namespace demo {

// The demo theme's music: a Standard MIDI File (format 0) of about 38 seconds, a flute
// melody over strings, a broken-chord piano and a bass line in C major.
std::vector<uint8_t> make_demo_tune();

}  // namespace demo
