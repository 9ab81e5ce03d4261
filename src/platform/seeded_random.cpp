#include "platform/seeded_random.h"

#include <chrono>

namespace vistaloom {

namespace {

uint64_t rotl(uint64_t x, int k) {
    return (x << k) | (x >> (64 - k));
}

// Spreads every bit of its input over the whole output, so nearby seeds (two clock readings
// a microsecond apart, seeds 5 and 6) start unrelated sequences.
uint64_t splitmix64(uint64_t& x) {
    uint64_t z = (x += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

}  // namespace

SeededRandom::SeededRandom(std::optional<uint64_t> fixed_seed) : fixed_seed_(fixed_seed) {
    seed_state(fixed_seed_.value_or(0));
    if (!fixed_seed_) reseed_from_clock();
}

void SeededRandom::seed_state(uint64_t seed) {
    // splitmix64 never gives four zeros in a row, the one state xoshiro cannot leave.
    for (uint64_t& word : state_) word = splitmix64(seed);
}

uint64_t SeededRandom::next64() {
    const uint64_t result = rotl(state_[1] * 5, 7) * 9;
    const uint64_t t = state_[1] << 17;
    state_[2] ^= state_[0];
    state_[3] ^= state_[1];
    state_[1] ^= state_[2];
    state_[0] ^= state_[3];
    state_[2] ^= t;
    state_[3] = rotl(state_[3], 45);
    return result;
}

double SeededRandom::next() {
    // The top 53 bits as a fraction of 2^53: every value is exact and 1.0 can never come out.
    return static_cast<double>(next64() >> 11) * 0x1.0p-53;
}

void SeededRandom::reseed_from_clock() {
    // Mixing the engine's own output in means two reseeds at the same instant still give
    // different sequences instead of repeating the same numbers.
    uint64_t seed = next64();
    if (!fixed_seed_) {
        // Both clocks: the steady one changes every nanosecond within a run, the system one
        // differs between runs started in the same boot.
        using namespace std::chrono;
        const auto steady = static_cast<uint64_t>(steady_clock::now().time_since_epoch().count());
        const auto wall = static_cast<uint64_t>(system_clock::now().time_since_epoch().count());
        uint64_t mix = steady;
        seed ^= splitmix64(mix);
        mix ^= wall;
        seed ^= rotl(splitmix64(mix), 32);
    }
    seed_state(seed);
}

}  // namespace vistaloom
