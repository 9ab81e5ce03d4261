#pragma once
#include <iosfwd>
#include <string>

#include "ground/settings_backend.h"

namespace vistaloom {

class QtSettingsBackend;

// The themes folder as an installer or a user wrote it into a settings file. A hand edit can
// go wrong without a sign: an unquoted ';' starts a comment and cuts the path, bytes that are
// not UTF-8 are replaced, a relative path would depend on where the saver was started. This
// store hands every read to the settings files, except install_path: a relative path is taken
// from the folder of the file that holds it, and when the folder holds no theme, `diagnostics`
// gets what was read, from which file, and why nothing was found.
class InstallPathCheck : public SettingsBackend {
  public:
    InstallPathCheck(QtSettingsBackend& files, std::ostream& diagnostics)
        : files_(files), diagnostics_(diagnostics) {}

    std::optional<std::string> read(const std::string& application, const std::string& section,
                                    const std::string& key) override;
    void write(const std::string& application, const std::string& section, const std::string& key,
               const std::string& value) override;

  private:
    std::optional<std::string> read_install_path(const std::string& application);

    QtSettingsBackend& files_;
    std::ostream& diagnostics_;
};

// The raw bytes after "install_path=" in the [Config] group of an INI text, as a hand edit
// left them; empty when there is no such line.
std::string raw_install_path_line(const std::string& ini_text);

// Why a raw value may have been read differently from what its writer meant; empty when
// nothing looks wrong.
std::string raw_value_hint(const std::string& raw_value);

}  // namespace vistaloom
