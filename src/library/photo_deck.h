#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vistaloom {

class RandomSource;

// One photo of the library as the scan last saw it. The path is the file system's bytes,
// whatever their encoding; size and time tell a changed file from the one that was indexed.
struct PhotoFile {
    std::string path;
    uint64_t size = 0;
    int64_t modified_ns = 0;  // modification time, nanoseconds of the file system's clock

    bool operator==(const PhotoFile&) const = default;
};

// The whole library as a deck of cards: shuffled, dealt one at a time, and shuffled again only
// once every photo was dealt, so nobody sees a photo twice before seeing all of them. A photo
// that failed to read was dealt like any other, so it is not tried again in this cycle.
//
// The deck is its own record: `order` lists every photo in the order of this cycle and the
// first `position` of them are dealt. That is what the index keeps between runs.
class PhotoDeck {
  public:
    PhotoDeck() = default;
    // A deck read back from the index. A position past the end means the cycle is over.
    PhotoDeck(std::vector<PhotoFile> order, size_t position);

    // Brings the deck in line with a fresh listing of the library: photos that are gone are
    // never dealt; new ones join the undealt part of this cycle at random places, so they come
    // before the cycle restarts. Photos still there keep their place (and take the listing's
    // size and time).
    void merge(std::vector<PhotoFile> listing, RandomSource& random);

    // The next photo, starting a freshly shuffled cycle when this one is over; null when the
    // deck is empty. The pointer stays good until the deck changes.
    const PhotoFile* deal(RandomSource& random);

    const std::vector<PhotoFile>& order() const { return order_; }
    size_t position() const { return position_; }
    size_t size() const { return order_.size(); }
    bool empty() const { return order_.empty(); }
    // How many cycles began since the deck was made (a fresh shuffle counts one).
    uint64_t cycles_started() const { return cycles_started_; }

  private:
    void shuffle_from(size_t first, RandomSource& random);

    std::vector<PhotoFile> order_;
    size_t position_ = 0;
    uint64_t cycles_started_ = 0;
};

}  // namespace vistaloom
