// The command line as any caller could pass it: NUL-separated words, the last piece after a
// 0x01 byte taken as XSCREENSAVER_WINDOW. The parser must either accept a consistent
// command line or give a reason.
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "startup/command_line.h"
#include "startup/startup.h"

using namespace vistaloom;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    std::string environment;
    bool has_environment = false;
    if (size_t mark = input.find('\x01'); mark != std::string_view::npos) {
        environment = std::string(input.substr(mark + 1));
        input = input.substr(0, mark);
        has_environment = true;
    }
    std::vector<std::string> args;
    while (!input.empty()) {
        size_t cut = input.find('\0');
        args.emplace_back(input.substr(0, cut));
        input = cut == std::string_view::npos ? std::string_view() : input.substr(cut + 1);
    }
    const CommandLine cl =
        parse_command_line(args, has_environment ? environment.c_str() : nullptr);
    if (cl.error.empty()) {
        if (cl.mode.size() > 2 || cl.mode.empty()) std::abort();
        if (cl.windowed && (cl.windowed->width < 1 || cl.windowed->height < 1)) std::abort();
        if (cl.window_id && (*cl.window_id < 1 || *cl.window_id > 0xFFFFFFFFll)) std::abort();
        if (cl.frames && *cl.frames < 1) std::abort();
    }
    std::ostringstream out, err;
    answer_without_windows(cl, out, err);
    return 0;
}
