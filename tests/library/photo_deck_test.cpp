#include "library/photo_deck.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "support/seeded_test_random.h"

namespace vistaloom {
namespace {

std::vector<PhotoFile> photos(int first, int count) {
    std::vector<PhotoFile> list;
    for (int i = first; i < first + count; ++i)
        list.push_back({"/p/" + std::to_string(i) + ".jpg", uint64_t(i), i});
    return list;
}

std::vector<std::string> deal(PhotoDeck& deck, RandomSource& random, size_t n) {
    std::vector<std::string> out;
    for (size_t i = 0; i < n; ++i) out.push_back(deck.deal(random)->path);
    return out;
}

TEST(PhotoDeck, EveryPhotoOnceBeforeAnyRepeatOverManyCycles) {
    testing::SeededTestRandom random(7);
    PhotoDeck deck;
    deck.merge(photos(0, 53), random);
    std::vector<std::string> previous;
    for (int cycle = 0; cycle < 6; ++cycle) {
        const auto dealt = deal(deck, random, 53);
        EXPECT_EQ(std::set<std::string>(dealt.begin(), dealt.end()).size(), 53u);
        if (!previous.empty()) {
            EXPECT_NE(dealt, previous) << "each cycle is shuffled anew";
            EXPECT_NE(dealt.front(), previous.back()) << "no photo twice in a row at a restart";
        }
        previous = dealt;
    }
}

TEST(PhotoDeck, FirstListingIsShuffledNotInNameOrder) {
    testing::SeededTestRandom random(3);
    PhotoDeck deck;
    deck.merge(photos(0, 40), random);
    std::vector<std::string> sorted;
    for (const auto& p : photos(0, 40)) sorted.push_back(p.path);
    EXPECT_NE(deal(deck, random, 40), sorted);
}

TEST(PhotoDeck, PhotosAddedMidCycleComeBeforeTheRestart) {
    testing::SeededTestRandom random(11);
    PhotoDeck deck;
    deck.merge(photos(0, 30), random);
    const auto first = deal(deck, random, 12);
    deck.merge(photos(0, 35), random);  // five new ones
    EXPECT_EQ(deck.position(), 12u);
    const auto rest = deal(deck, random, 23);
    std::set<std::string> cycle(first.begin(), first.end());
    cycle.insert(rest.begin(), rest.end());
    EXPECT_EQ(cycle.size(), 35u) << "the 35 deals of this cycle are all different";
    EXPECT_EQ(deck.cycles_started(), 1u);
}

TEST(PhotoDeck, RemovedPhotosAreNeverDealtAndTheCycleKeepsItsPlace) {
    testing::SeededTestRandom random(5);
    PhotoDeck deck;
    deck.merge(photos(0, 20), random);
    const auto first = deal(deck, random, 8);
    // Remove two dealt and three undealt photos.
    std::set<std::string> removed{first[0], first[1]};
    std::vector<PhotoFile> listing;
    int undealt_removed = 0;
    for (const auto& p : photos(0, 20)) {
        const bool dealt = std::count(first.begin(), first.end(), p.path) > 0;
        if (!dealt && undealt_removed < 3) {
            ++undealt_removed;
            removed.insert(p.path);
            continue;
        }
        if (removed.count(p.path) == 0) listing.push_back(p);
    }
    deck.merge(listing, random);
    EXPECT_EQ(deck.size(), 15u);
    EXPECT_EQ(deck.position(), 6u);
    for (const auto& path : deal(deck, random, 15 * 3)) EXPECT_EQ(removed.count(path), 0u) << path;
}

TEST(PhotoDeck, MergeKeepsOrderAndTakesNewSizes) {
    testing::SeededTestRandom random(9);
    PhotoDeck deck;
    deck.merge(photos(0, 10), random);
    const std::vector<PhotoFile> before = deck.order();
    auto listing = photos(0, 10);
    listing[4].size = 999;
    deck.merge(listing, random);
    for (size_t i = 0; i < before.size(); ++i) EXPECT_EQ(deck.order()[i].path, before[i].path);
    for (const auto& p : deck.order()) {
        if (p.path == "/p/4.jpg") EXPECT_EQ(p.size, 999u);
    }
}

TEST(PhotoDeck, EmptyAndOnePhotoDecks) {
    testing::SeededTestRandom random(1);
    PhotoDeck deck;
    EXPECT_EQ(deck.deal(random), nullptr);
    deck.merge(photos(0, 1), random);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(deck.deal(random)->path, "/p/0.jpg");
    deck.merge({}, random);
    EXPECT_EQ(deck.deal(random), nullptr);
}

TEST(PhotoDeck, ShuffleUsesEveryPlace) {
    // Over many seeds, photo 0 lands in each of the four first places.
    std::map<std::string, int> first_dealt;
    for (uint64_t seed = 1; seed < 400; ++seed) {
        testing::SeededTestRandom random(seed);
        PhotoDeck deck;
        deck.merge(photos(0, 4), random);
        ++first_dealt[deck.deal(random)->path];
    }
    ASSERT_EQ(first_dealt.size(), 4u);
    for (const auto& [path, count] : first_dealt) EXPECT_GT(count, 60) << path;
}

}  // namespace
}  // namespace vistaloom
