#include "library/photo_index.h"

#include <gtest/gtest.h>

#include "support/seeded_test_random.h"
#include "support/temp_folder.h"

namespace vistaloom {
namespace {

PhotoDeck sample_deck() {
    testing::SeededTestRandom random(2);
    std::vector<PhotoFile> list;
    for (int i = 0; i < 25; ++i)
        list.push_back({"/photos/" + std::to_string(i) + ".jpg", uint64_t(1000 + i), -5 + i});
    // Names in any bytes: not UTF-8, a newline, a high byte.
    list.push_back({std::string("/photos/caf\xe9\n\xff.JPG"), 7, 1700000000123456789});
    PhotoDeck deck;
    deck.merge(list, random);
    for (int i = 0; i < 9; ++i) deck.deal(random);
    return deck;
}

TEST(PhotoIndex, RoundTripKeepsOrderPositionAndOddNames) {
    const PhotoDeck deck = sample_deck();
    const auto back = decode_photo_index(encode_photo_index("/photos", deck), "/photos");
    ASSERT_TRUE(back);
    EXPECT_EQ(back->order(), deck.order());
    EXPECT_EQ(back->position(), 9u);
}

TEST(PhotoIndex, EveryTruncationAndEveryFlippedByteIsDropped) {
    const std::string bytes = encode_photo_index("/photos", sample_deck());
    for (size_t n = 0; n < bytes.size(); ++n)
        ASSERT_FALSE(decode_photo_index(bytes.substr(0, n), "/photos")) << "cut at " << n;
    for (size_t i = 0; i < bytes.size(); ++i) {
        std::string damaged = bytes;
        damaged[i] = static_cast<char>(damaged[i] ^ 0x20);
        ASSERT_FALSE(decode_photo_index(damaged, "/photos")) << "byte " << i;
    }
    EXPECT_FALSE(decode_photo_index(bytes + "x", "/photos"));
}

TEST(PhotoIndex, AnotherFolderOrAHandEditIsDropped) {
    const std::string bytes = encode_photo_index("/photos", sample_deck());
    EXPECT_FALSE(decode_photo_index(bytes, "/photos/"));
    EXPECT_FALSE(decode_photo_index("vistaloom photo index 1\nhello\n", "/photos"));
    EXPECT_FALSE(decode_photo_index("", "/photos"));
}

TEST(PhotoIndex, DuplicatePathsOrAPositionPastTheEndAreDropped) {
    // Well-formed files with a valid checksum, but contents no run would write.
    std::vector<PhotoFile> twice{{"/photos/a.jpg", 1, 1}, {"/photos/a.jpg", 1, 1}};
    EXPECT_FALSE(decode_photo_index(encode_photo_index("/photos", PhotoDeck(twice, 0)), "/photos"));
    std::vector<PhotoFile> empty_name{{"", 1, 1}};
    EXPECT_FALSE(
        decode_photo_index(encode_photo_index("/photos", PhotoDeck(empty_name, 0)), "/photos"));
}

TEST(PhotoIndex, SavedWholeAndLoadedBack) {
    testing::TempFolder folder;
    const std::string path = (folder.path() / photo_index_file_name("/photos")).string();
    EXPECT_FALSE(load_photo_index(path, "/photos"));
    ASSERT_TRUE(save_photo_index(path, "/photos", sample_deck()));
    const auto back = load_photo_index(path, "/photos");
    ASSERT_TRUE(back);
    EXPECT_EQ(back->size(), 26u);
    // One file per folder.
    EXPECT_NE(photo_index_file_name("/photos"), photo_index_file_name("/photos2"));
}

}  // namespace
}  // namespace vistaloom
