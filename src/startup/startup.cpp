#include "startup/startup.h"

#include <cmath>
#include <ostream>

#include "ground/rounding.h"
#include "startup/settings_store.h"

namespace vistaloom {

namespace {

constexpr int kExitInstallPath = 1;
constexpr int kExitUsage = 2;

}  // namespace

int16_t twips_per_pixel_from_dpi(double logical_dpi) {
    if (!(logical_dpi >= 1.0) || !std::isfinite(logical_dpi)) logical_dpi = 96.0;
    // At 1 dpi and up the quotient stays within 1..1440, so the narrowing is safe.
    int64_t twips = round_half_even(1440.0 / logical_dpi);
    return static_cast<int16_t>(twips < 1 ? 1 : twips);
}

StartupOutcome run_startup(const CommandLine& command_line, SettingsBackend& settings_backend,
                           ModeHost& host, TwipsPerPixel twips_per_pixel, StartupValues& values,
                           SaverSettings& settings) {
    StartupOutcome outcome;
    outcome.mode = command_line.mode;
    if (command_line.help) {
        outcome.action = StartupAction::ShowHelp;
        return outcome;
    }
    if (command_line.version) {
        outcome.action = StartupAction::ShowVersion;
        return outcome;
    }
    if (!command_line.error.empty()) {
        outcome.action = StartupAction::BadCommandLine;
        outcome.exit_code = kExitUsage;
        return outcome;
    }

    values.config_preview = false;
    std::string install_path = load_install_path(settings_backend);
    if (install_path.empty()) {
        host.show_install_path_error();
        outcome.action = StartupAction::InstallPathError;
        outcome.exit_code = kExitInstallPath;
        return outcome;
    }
    values.install_path = with_trailing_separator(std::move(install_path));
    values.twips_per_pixel_x = twips_per_pixel.x;
    values.twips_per_pixel_y = twips_per_pixel.y;
    load_settings(settings, settings_backend);
    apply_overrides(settings, command_line.overrides);

    switch (command_line.start_mode) {
        case StartMode::Configuration:
            outcome.action = StartupAction::Configuration;
            host.open_configuration();
            outcome.window_opened = true;
            break;
        case StartMode::Saver:
            // Daemons run one embedded saver per screen and own each of them, so only a saver
            // of our own window is kept single.
            if (command_line.embedding() == Embedding::None &&
                !host.is_first_instance(kSaverWindowTitle)) {
                outcome.action = StartupAction::SaverAlreadyRunning;
                break;
            }
            outcome.action = StartupAction::Saver;
            host.open_saver();
            outcome.window_opened = true;
            break;
        case StartMode::Preview:
            outcome.action = StartupAction::Preview;
            outcome.handle = command_line.handle;
            values.parent_window = command_line.handle;
            host.open_preview(command_line.handle);
            outcome.window_opened = true;
            break;
        case StartMode::ChangePassword:
            outcome.action = StartupAction::ChangePassword;
            outcome.handle = command_line.handle;
            values.parent_window = command_line.handle;
            host.change_password(command_line.handle);
            break;
        case StartMode::Nothing:
            outcome.action = StartupAction::Nothing;
            break;
    }
    return outcome;
}

std::optional<int> answer_without_windows(const CommandLine& command_line, std::ostream& out,
                                          std::ostream& err) {
    if (command_line.help) {
        out << usage_text();
        return 0;
    }
    if (command_line.version) {
        out << version_text();
        return 0;
    }
    if (!command_line.error.empty()) {
        err << "vistaloom: " << command_line.error << '\n';
        return kExitUsage;
    }
    return std::nullopt;
}

}  // namespace vistaloom
