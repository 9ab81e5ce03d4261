#include "library/photo_scan.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "support/temp_folder.h"

namespace vistaloom {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> relative(const PhotoListing& listing, const fs::path& root) {
    std::vector<std::string> names;
    for (const PhotoFile& p : listing.photos)
        names.push_back(fs::path(p.path).lexically_relative(root).string());
    return names;
}

TEST(PhotoScan, PhotoNamesInAnyCase) {
    for (const char* name :
         {"a.jpg", "b.JPEG", "c.Png", "d.webp", "e.TIF", "f.tiff", "g.bmp", "h.GIF", "x.y.jpg"})
        EXPECT_TRUE(is_photo_name(name)) << name;
    for (const char* name : {"jpg", ".jpg", "a.jpgx", "a.txt", "a.", "a.heic", "a"})
        EXPECT_FALSE(is_photo_name(name)) << name;
}

TEST(PhotoScan, NestedFoldersLinksAndLoops) {
    testing::TempFolder tmp;
    const fs::path root = tmp.path() / "lib";
    tmp.write("lib/top.jpg", "x");
    tmp.write("lib/2020/trip/a.JPG", "xy");
    tmp.write("lib/2020/trip/notes.txt", "n");
    tmp.write("lib/.thumbnails/t.png", "t");
    tmp.write("outside/far.png", "far");
    tmp.write(std::string("lib/odd\xff\n.png"), "odd");
    fs::create_directory_symlink(root, root / "2020" / "loop");        // back to the top
    fs::create_directory_symlink(tmp.path() / "outside", root / "o");  // a linked folder
    fs::create_symlink(root / "top.jpg", root / "alias.jpg");          // a linked file
    fs::create_symlink(root / "gone.jpg", root / "dangling.jpg");
    ASSERT_EQ(::mkfifo((root / "pipe.jpg").c_str(), 0600), 0);
    fs::create_directory(root / "folder.jpg");

    const PhotoListing listing = list_photos(root.string());
    EXPECT_TRUE(listing.folder_found);
    EXPECT_EQ(relative(listing, root),
              (std::vector<std::string>{"2020/trip/a.JPG", "alias.jpg", "o/far.png",
                                        std::string("odd\xff\n.png"), "top.jpg"}));
    for (const PhotoFile& p : listing.photos) {
        if (p.path.ends_with("a.JPG")) EXPECT_EQ(p.size, 2u);
    }
}

TEST(PhotoScan, MissingFolderOrAFile) {
    testing::TempFolder tmp;
    tmp.write("file.jpg", "x");
    EXPECT_FALSE(list_photos((tmp.path() / "none").string()).folder_found);
    EXPECT_FALSE(list_photos((tmp.path() / "file.jpg").string()).folder_found);
    EXPECT_FALSE(list_photos("").folder_found);
}

TEST(PhotoScan, StopsWhenCancelled) {
    testing::TempFolder tmp;
    tmp.write("a/b.jpg", "x");
    std::atomic<bool> cancel{true};
    EXPECT_TRUE(list_photos(tmp.path().string(), &cancel).cancelled);
}

}  // namespace
}  // namespace vistaloom
