// Settings as a hand-edited file may hold them: every key gets a value cut from the input,
// then every value is used the way the saver uses it. Nothing may crash or leave its range.
#include <cstdlib>
#include <map>
#include <string>
#include <string_view>

#include "ground/numeric_text.h"
#include "startup/saver_settings.h"
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

    // What is saved must load back to the same record.
    save_settings(settings, backend);
    if (backend.written.size() != 24) std::abort();
    return 0;
}
