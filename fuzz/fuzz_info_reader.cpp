// The information-file field reader on arbitrary bytes, and read_theme_info on the same
// bytes as a file: neither may crash, hang or let the table disagree with its count.
#include <cstdlib>
#include <sstream>
#include <string>

#include "fuzz_support.h"
#include "theme_files/theme_files.h"
#include "theme_files/theme_info_fields.h"

using namespace vistaloom;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::stringbuf buffer(std::string(reinterpret_cast<const char*>(data), size));
    InfoFieldReader reader(buffer);
    std::string text;
    int32_t number = 0;
    // Alternate the two kinds of field as a real file does; stop at the end or the first
    // refusal, as read_theme_info does.
    for (int i = 0; i < 4096; ++i) {
        bool ok = (i % 2 == 0) ? reader.read_text(text) : reader.read_whole(number);
        if (!ok) break;
        if (text.size() > InfoFieldReader::kMaxFieldLength) std::abort();
    }

    static fuzz::ScratchFolders folders;
    const std::string base = fuzz::scratch_folder() + "Theme";
    fuzz::write_file(base + ".icf", data, size);
    ThemeItems items;
    if (read_theme_info(items, base, folders)) {
        if (items.item_count < 0 ||
            items.item_names.size() != static_cast<size_t>(items.item_count) + 1 ||
            items.item_sizes.size() != items.item_names.size() || !(items.music_count >= 0))
            std::abort();
    } else if (items.item_count != 0 || items.music_count != 0) {
        std::abort();
    }
    return 0;
}
