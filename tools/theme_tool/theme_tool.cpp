#include "theme_tool.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <ostream>

#include "pixels/theme_verify.h"
#include "ground/process_token.h"
#include "staging_cleanup.h"
#include "theme_files/theme_files.h"
#include "theme_files/theme_info_fields.h"
#include "theme_files/theme_pack.h"
#include "theme_files/theme_unpack.h"
#include "theme_make_command.h"

namespace vistaloom {

namespace {

constexpr char kUsage[] =
    "Usage: vistaloom-theme COMMAND THEME ...\n"
    "\n"
    "THEME is the theme's folder and name without extension (Themes/Demo); the path of\n"
    "its .icf file is accepted too.\n"
    "\n"
    "Commands:\n"
    "  info THEME                 show the header, the music count and every item\n"
    "  extract THEME K FILE       copy item K's bytes into FILE\n"
    "  pack THEME --sample PICTURE --sheet JPEG [MUSIC...]\n"
    "                             write THEME.icf and THEME.img (item 1 the sample\n"
    "                             picture, item 2 the sprite sheet, then the music)\n"
    "  verify THEME               check that the theme is complete and consistent\n"
    "  make THEME FOLDER [--force]\n"
    "                             make a theme from the pictures in FOLDER (in name\n"
    "                             order; 20 are used) and its MIDI, WAV and MP3 files\n"
    "  unpack THEME DIR [--force] write every item into DIR under its stored name\n"
    "  --force                    replace a theme (make) or files (unpack) already there\n"
    "  --help                     show this text\n"
    "\n"
    "Exit status: 0 done, 1 the theme or a file is wrong, 2 the command line is wrong,\n"
    "130 interrupted (make leaves nothing behind).\n";

int usage_error(std::ostream& err, const std::string& message) {
    err << "vistaloom-theme: " << message << "\n\n" << kUsage;
    return 2;
}

int failure(std::ostream& err, const std::string& message) {
    err << "vistaloom-theme: " << message << "\n";
    return 1;
}

int command_info(const std::string& base, std::ostream& out, std::ostream& err,
                 UserFolders& folders) {
    ThemeItems items;
    ThemeHeader header;
    if (!read_theme_info(items, base, folders) || !read_theme_header(base, header))
        return failure(err, "cannot read theme information file " + base + ".icf");
    // Enough digits that a count such as 2147483647 is not shown as 2.14748e+09.
    out << "theme: " << base << "\n"
        << "header 1: " << printable(header.first) << "\n"
        << "header 2: " << printable(header.second) << "\n"
        << "header 3: " << printable(header.music_text) << "\n"
        << "music tracks: " << std::setprecision(15) << items.music_count << "\n"
        << "items: " << items.item_count << "\n";
    int64_t offset = 0;
    for (int32_t k = 1; k <= items.item_count; ++k) {
        out << "item " << k << ": \"" << printable(items.item_names[k]) << "\" "
            << items.item_sizes[k] << " bytes at offset " << offset << "\n";
        offset += items.item_sizes[k];
    }
    return 0;
}

// The tool's staging files are removed when a signal ends it half-way.
StagingHooks interrupt_cleanup() {
    return {[](const std::string& path) { remove_on_interrupt(path); },
            [](const std::string& path) { keep_on_interrupt(path); }};
}

int command_extract(const std::string& base, const std::string& number, const std::string& file,
                    std::ostream& err, UserFolders& folders) {
    int32_t k = 0;
    if (!parse_whole_number(number, k))
        return failure(err, "item number is not a whole number: " + number);
    ThemeItems items;
    if (!read_theme_info(items, base, folders))
        return failure(err, "cannot read theme information file " + base + ".icf");
    if (k < 1 || k > items.item_count)
        return failure(err, "item " + number + " does not exist; the theme has " +
                                std::to_string(items.item_count) + " items");
    if (is_theme_file(base, file))
        return failure(err, file + " is the theme's own file; extracting into it would destroy it");
    // Straight from the container into FILE: a detour through the private folder would copy
    // a large item twice and share that folder with a saver running meanwhile.
    int64_t offset = 0;
    std::string problem = item_range_problem(items, base, k, offset);
    if (problem.empty())
        problem = copy_range_atomically(theme_file_path(base, ".img"), offset, items.item_sizes[k],
                                        file, interrupt_cleanup());
    if (!problem.empty()) return failure(err, problem);
    return 0;
}

int command_pack(const std::vector<std::string>& args, std::ostream& err) {
    ThemePackRequest request;
    request.base_path = theme_base_path(args[1]);
    for (size_t i = 2; i < args.size(); ++i) {
        if (args[i] == "--sample" || args[i] == "--sheet") {
            if (i + 1 >= args.size()) return usage_error(err, args[i] + " needs a file");
            (args[i] == "--sample" ? request.sample_path : request.sheet_path) = args[i + 1];
            ++i;
        } else if (args[i].rfind("--", 0) == 0) {
            return usage_error(err, "unknown option " + args[i]);
        } else {
            request.music_paths.push_back(args[i]);
        }
    }
    if (request.sample_path.empty() || request.sheet_path.empty())
        return usage_error(err, "pack needs --sample PICTURE and --sheet JPEG");
    const std::vector<std::string> staging = pack_staging_paths(request.base_path);
    for (const auto& path : staging) remove_on_interrupt(path);
    std::string error = pack_theme(request);
    for (const auto& path : staging) keep_on_interrupt(path);
    if (!error.empty()) return failure(err, error);
    return 0;
}

int command_unpack(const std::string& base, const std::string& dir, bool force, std::ostream& out,
                   std::ostream& err, UserFolders& folders) {
    const UnpackResult result = unpack_theme(base, dir, force, folders, interrupt_cleanup());
    for (const auto& path : result.written) out << printable(path) << "\n";
    if (!result.error.empty()) return failure(err, printable(result.error));
    return 0;
}

// make and unpack: two operands and an optional --force anywhere after the command.
int command_with_force(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                       UserFolders& folders, const std::atomic<bool>* cancel) {
    std::vector<std::string> operands;
    bool force = false;
    for (size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--force")
            force = true;
        else if (args[i].rfind("--", 0) == 0)
            return usage_error(err, "unknown option " + args[i]);
        else
            operands.push_back(args[i]);
    }
    if (operands.size() != 2)
        return usage_error(
            err, args[0] + (args[0] == "make" ? " takes THEME FOLDER" : " takes THEME DIR"));
    const std::string base = theme_base_path(operands[0]);
    if (args[0] == "make") return command_make(base, operands[1], force, out, err, cancel);
    return command_unpack(base, operands[1], force, out, err, folders);
}

int command_verify(const std::string& base, std::ostream& out, std::ostream& err,
                   UserFolders& folders) {
    std::vector<std::string> problems = verify_theme(base, folders);
    if (problems.empty()) {
        out << base << ": OK\n";
        return 0;
    }
    for (const auto& problem : problems)
        err << "vistaloom-theme: " << base << ": " << problem << "\n";
    return 1;
}

}  // namespace


std::string theme_base_path(const std::string& theme) {
    if (theme.size() > 4) {
        std::string tail = theme.substr(theme.size() - 4);
        for (char& c : tail)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (tail == ".icf") return theme.substr(0, theme.size() - 4);
    }
    return theme;
}

int run_theme_tool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                   UserFolders& folders, const std::atomic<bool>* cancel) {
    if (args.empty()) return usage_error(err, "no command given");
    const std::string& command = args[0];
    if (command == "--help" || command == "-h" || command == "help") {
        out << kUsage;
        return 0;
    }
    if (command == "info" || command == "verify") {
        if (args.size() != 2) return usage_error(err, command + " takes one THEME");
        const std::string base = theme_base_path(args[1]);
        return command == "info" ? command_info(base, out, err, folders)
                                 : command_verify(base, out, err, folders);
    }
    if (command == "extract") {
        if (args.size() != 4) return usage_error(err, "extract takes THEME K FILE");
        return command_extract(theme_base_path(args[1]), args[2], args[3], err, folders);
    }
    if (command == "pack") {
        if (args.size() < 2)
            return usage_error(err, "pack takes THEME --sample PICTURE --sheet JPEG");
        return command_pack(args, err);
    }
    if (command == "make" || command == "unpack")
        return command_with_force(args, out, err, folders, cancel);
    return usage_error(err, "unknown command " + command);
}

}  // namespace vistaloom
