// A whole theme from one input: the bytes before the first NUL are the information file,
// the bytes after it the container. Every listed item is extracted; each result
// must be "False" or a file of exactly the item's length holding the item's bytes.
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "fuzz_support.h"
#include "theme_files/theme_files.h"

using namespace vistaloom;

namespace {

std::string read_all(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto* nul = static_cast<const uint8_t*>(std::memchr(data, 0, size));
    const size_t info_size = nul ? static_cast<size_t>(nul - data) : size;
    const size_t rest = nul ? size - info_size - 1 : 0;
    const std::string container(reinterpret_cast<const char*>(data) + info_size + (nul ? 1 : 0),
                                rest);

    static fuzz::ScratchFolders folders;
    const std::string base = fuzz::scratch_folder() + "Theme";
    fuzz::write_file(base + ".icf", data, info_size);
    fuzz::write_file(base + ".img", reinterpret_cast<const uint8_t*>(container.data()),
                     container.size());
    ThemeItems items;
    if (!read_theme_info(items, base, folders)) return 0;
    // Large counts cost time, not coverage: a few items show every path.
    const int32_t last = items.item_count < 8 ? items.item_count : 8;
    for (int32_t k = 0; k <= last + 1; ++k) {
        const std::string target = extract_theme_item(items, base, k);
        if (target == "False") continue;
        const int64_t offset = theme_item_offset(items, k);
        if (offset < 0) std::abort();
        const std::string expected =
            container.substr(static_cast<size_t>(offset), static_cast<size_t>(items.item_sizes[k]));
        if (read_all(target) != expected) std::abort();
        if (target.rfind(items.windows_dir, 0) != 0) std::abort();  // stayed in its folder
    }
    remove_temp_items(items);
    return 0;
}
