#pragma once

namespace vistaloom {

// The one source of randomness for the core: uniform reals in [0, 1).
class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual double next() = 0;
    // "Reseed from the clock". A source that was given a fixed seed derives the new state from
    // its own sequence instead, so a seeded run stays reproducible.
    virtual void reseed_from_clock() = 0;
};

}  // namespace vistaloom
