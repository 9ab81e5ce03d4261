#include "platform/seeded_random.h"

#include <chrono>

namespace vistaloom {

namespace {

// Both clocks: the steady one changes every nanosecond within a run, the system one differs
// between runs started in the same boot.
std::seed_seq::result_type low32(uint64_t v) {
    return static_cast<uint32_t>(v);
}
std::seed_seq::result_type high32(uint64_t v) {
    return static_cast<uint32_t>(v >> 32);
}

}  // namespace

SeededRandom::SeededRandom(std::optional<uint64_t> fixed_seed) : fixed_seed_(fixed_seed) {
    if (fixed_seed_) {
        engine_.seed(*fixed_seed_);
    } else {
        engine_.seed(0);
        reseed_from_clock();
    }
}

double SeededRandom::next() {
    // The top 53 bits as a fraction of 2^53: every value is exact and 1.0 can never come out
    // (std::generate_canonical could round up to 1.0 on some libraries).
    return static_cast<double>(engine_() >> 11) * 0x1.0p-53;
}

void SeededRandom::reseed_from_clock() {
    const uint64_t own = engine_();
    if (fixed_seed_) {
        engine_.seed(own);
        return;
    }
    // The scene step reseeds on every frame, often twice within one clock tick. Mixing the
    // engine's own output in means two reseeds at the same instant still give different
    // sequences instead of repeating the same numbers.
    using namespace std::chrono;
    const auto steady = static_cast<uint64_t>(steady_clock::now().time_since_epoch().count());
    const auto wall = static_cast<uint64_t>(system_clock::now().time_since_epoch().count());
    std::seed_seq seq{low32(own),     high32(own), low32(steady),
                      high32(steady), low32(wall), high32(wall)};
    engine_.seed(seq);
}

}  // namespace vistaloom
