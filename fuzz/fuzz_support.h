#pragma once
// Small helpers the fuzz targets share: a private scratch folder per fuzzing process and a
// way to put bytes into a file there, since the readers under test take paths.
#include <sys/stat.h>
#include <unistd.h>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "ground/user_folders.h"

namespace vistaloom::fuzz {

// One folder per process, made on first use and never shared, so parallel fuzzing jobs
// (-jobs=N) cannot see each other's files. /dev/shm keeps the file traffic off the disk.
inline const std::string& scratch_folder() {
    static const std::string folder = [] {
        const char* base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        std::string pattern = std::string(base) + "/vistaloom-fuzz-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) std::abort();
        return pattern + "/";
    }();
    // Gone when the run ends; made after `folder`, so it runs before `folder` is destroyed.
    static const bool removed_at_exit = [] {
        return std::atexit([] {
                   std::error_code ignored;
                   std::filesystem::remove_all(scratch_folder(), ignored);
               }) == 0;
    }();
    (void)removed_at_exit;
    return folder;
}

inline void write_file(const std::string& path, const uint8_t* data, size_t size) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) std::abort();
    if (size > 0 && std::fwrite(data, 1, size, file) != size) std::abort();
    std::fclose(file);
}

class ScratchFolders : public UserFolders {
  public:
    std::string private_temp_folder() override {
        static const std::string folder = [] {
            std::string path = scratch_folder() + "tmp/";
            mkdir(path.c_str(), 0700);
            return path;
        }();
        return folder;
    }
    std::string data_folder() override { return scratch_folder() + "data/"; }
    std::string cache_folder() override { return scratch_folder() + "cache/"; }
};

}  // namespace vistaloom::fuzz
