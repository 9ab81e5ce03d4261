// Settings as a hand-edited file may hold them: every key gets a value cut from the input,
// then every value is used the way the saver uses it. Nothing may crash or leave its range.
#include <cstdlib>
#include <map>
#include <string>
#include <string_view>

#include "ground/numeric_text.h"
#include "startup/run_settings.h"
#include "startup/saver_settings.h"
#include "startup/screen_mode.h"
#include "startup/settings_store.h"

using namespace vistaloom;

namespace {

// Values are the input's NUL-separated pieces, handed out in the order keys are asked for.
class PieceSettings : public SettingsBackend {
  public:
    explicit PieceSettings(std::string_view input) : input_(input) {}
    std::optional<std::string> read(const std::string&, const std::string&,
                                    const std::string&) override {
        if (input_.empty()) return std::nullopt;
        size_t cut = input_.find('\0');
        std::string piece(input_.substr(0, cut));
        input_ = cut == std::string_view::npos ? std::string_view() : input_.substr(cut + 1);
        return piece;
    }
    void write(const std::string&, const std::string& section, const std::string& key,
               const std::string& value) override {
        written[section + "/" + key] = value;
    }
    std::map<std::string, std::string> written;

  private:
    std::string_view input_;
};

// Reads back what a PieceSettings wrote.
class SavedSettings : public SettingsBackend {
  public:
    explicit SavedSettings(const std::map<std::string, std::string>& written) : written_(written) {}
    std::optional<std::string> read(const std::string&, const std::string& section,
                                    const std::string& key) override {
        auto found = written_.find(section + "/" + key);
        if (found == written_.end()) return std::nullopt;
        return found->second;
    }
    void write(const std::string&, const std::string&, const std::string&,
               const std::string&) override {}

  private:
    const std::map<std::string, std::string>& written_;
};

void check_range(int32_t value, int32_t low, int32_t high) {
    if (value < low || value > high) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    double value = numeric_value(input);
    (void)value;
    numeric_int(input);

    PieceSettings backend(input);
    SaverSettings settings;
    load_settings(settings, backend);
    load_install_path(backend);
    check_range(sprite_active_in_range(settings), 1, 10);
    check_range(frame_rate_in_range(settings), 10, 60);
    check_range(speed_scale_in_range(settings), 1, 20);
    check_range(mouse_sensitivity_in_range(settings), 2, 50);
    check_range(idle_minutes_in_range(settings), 1, 120);
    is_one(settings.gradients_on);
    is_nonzero(settings.objects_off);
    screen_mode_or_each(settings.screen_mode);
    for (double ratio : {1.0, 1.5, 2.0}) {
        const RunSettings run = resolve_run_settings(settings, {ratio, ratio > 1.2});
        check_range(run.picture_scale, 1, 2);
        check_range(run.frame_rate, 10, 60);
    }

    // Every key is written back, whatever the file held, and what is saved loads back to the
    // same record.
    save_settings(settings, backend);
    if (backend.written.size() != 27) std::abort();
    SavedSettings saved(backend.written);
    SaverSettings reloaded;
    load_settings(reloaded, saved);
    // The options windows leave these two to the first run.
    reloaded.welcome = settings.welcome;
    reloaded.first_time_running = settings.first_time_running;
    if (!(reloaded == settings)) std::abort();
    return 0;
}
