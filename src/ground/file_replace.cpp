#include "ground/file_replace.h"

#include <filesystem>
#include <fstream>

namespace vistaloom {

bool replace_file(const std::string& path, const void* data, size_t size) {
    const std::filesystem::path target(path);
    std::filesystem::path temp = target;
    temp.replace_filename("." + target.filename().string() + ".partial");
    std::error_code ignored;
    bool written = false;
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
        out.flush();
        out.close();
        // A full disk may only show when the last buffer goes out, at the close.
        written = !out.fail();
    }
    if (written) {
        std::error_code ec;
        std::filesystem::rename(temp, target, ec);
        if (!ec) return true;
    }
    std::filesystem::remove(temp, ignored);
    return false;
}

}  // namespace vistaloom
