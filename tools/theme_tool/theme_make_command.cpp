#include "theme_make_command.h"

#include <ostream>

#include "theme_maker/theme_maker.h"
#include "theme_tool.h"

namespace vistaloom {

namespace {

void print_outcome(const ThemeMakeResult& result, std::ostream& out, std::ostream& err) {
    for (const auto& skipped : result.skipped)
        err << "vistaloom-theme: skipped " << printable(skipped) << "\n";
    for (const auto& note : result.notes) out << printable(note) << "\n";
}

}  // namespace

int command_make(const std::string& base, const std::string& folder, bool force, std::ostream& out,
                 std::ostream& err, const std::atomic<bool>* cancel) {
    ThemeMakeRequest request;
    request.base_path = base;
    request.picture_folder = folder;
    request.replace = force;
    auto progress = [&out](const ThemeMakeProgress& p) {
        if (p.done < p.total)
            out << "[" << p.done + 1 << "/" << p.total << "] " << printable(p.step) << std::endl;
    };
    const ThemeMakeResult result = make_theme(request, progress, cancel);
    print_outcome(result, out, err);
    switch (result.status) {
        case ThemeMakeResult::Status::made:
            out << "made " << base << ": " << result.pictures.size() << " pictures, "
                << result.music.size()
                << (result.music.size() == 1 ? " music track" : " music tracks") << "\n";
            return 0;
        case ThemeMakeResult::Status::cancelled:
            err << "vistaloom-theme: interrupted; nothing was written\n";
            return 130;
        case ThemeMakeResult::Status::failed:
            break;
    }
    err << "vistaloom-theme: " << printable(result.error) << "\n";
    return 1;
}

}  // namespace vistaloom
