#include "library/photo_deck.h"

#include <algorithm>
#include <unordered_map>
#include <utility>

#include "ground/random_source.h"

namespace vistaloom {

PhotoDeck::PhotoDeck(std::vector<PhotoFile> order, size_t position)
    : order_(std::move(order)), position_(std::min(position, order_.size())) {}

// Fisher-Yates over [first, end) through the project's one random source.
void PhotoDeck::shuffle_from(size_t first, RandomSource& random) {
    for (size_t i = order_.size(); i > first + 1; --i) {
        const size_t span = i - first;
        const auto pick = static_cast<size_t>(
            random_position(random, static_cast<int32_t>(std::min<size_t>(span, INT32_MAX))) - 1);
        std::swap(order_[i - 1], order_[first + pick]);
    }
}

void PhotoDeck::merge(std::vector<PhotoFile> listing, RandomSource& random) {
    std::unordered_map<std::string, size_t> listed;
    listed.reserve(listing.size());
    for (size_t i = 0; i < listing.size(); ++i) listed.emplace(listing[i].path, i);

    std::vector<PhotoFile> kept;
    kept.reserve(listing.size());
    std::vector<bool> known(listing.size(), false);
    size_t dealt = 0;
    for (size_t i = 0; i < order_.size(); ++i) {
        const auto found = listed.find(order_[i].path);
        if (found == listed.end() || known[found->second]) continue;
        known[found->second] = true;
        kept.push_back(std::move(listing[found->second]));
        if (i < position_) ++dealt;
    }
    const size_t old_undealt = kept.size() - dealt;
    for (size_t i = 0; i < listing.size(); ++i)
        if (!known[i]) kept.push_back(std::move(listing[i]));
    const bool fresh = order_.empty();
    const bool added = kept.size() > dealt + old_undealt;
    order_ = std::move(kept);
    position_ = dealt;
    if (fresh) ++cycles_started_;
    // Shuffling the whole undealt part (old and new) keeps every order of it equally likely
    // without inserting one by one, which would move the tail of a large deck for each photo.
    if (added) shuffle_from(position_, random);
}

const PhotoFile* PhotoDeck::deal(RandomSource& random) {
    if (order_.empty()) return nullptr;
    if (position_ >= order_.size()) {
        const std::string last = order_.back().path;
        shuffle_from(0, random);
        // The first of the new cycle must not be the last of the old one, or a small library
        // shows one photo twice in a row across the restart.
        if (order_.size() > 1 && order_.front().path == last)
            std::swap(order_.front(), order_.back());
        position_ = 0;
        ++cycles_started_;
    }
    return &order_[position_++];
}

}  // namespace vistaloom
