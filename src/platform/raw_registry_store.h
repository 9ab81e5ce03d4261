#pragma once
#include <QString>
#include <optional>
#include <string>

#include "ground/raw_registry.h"

namespace vistaloom {

// Raw values outside the program's own settings, kept where a Linux desktop has no registry:
// an INI file of our own, grouped by root key and sub-key ("HKEY_CURRENT_USER/Control
// Panel/Desktop"). Strings are stored as they are; a 32-bit number as "dword:" and eight hex
// digits, as in exported registry files, and a string that would look like one is stored
// behind "sz:".
class QtRawRegistry : public RawRegistry {
  public:
    // $XDG_CONFIG_HOME/vistaloom/registry.conf (default ~/.config/...), read now.
    QtRawRegistry();
    explicit QtRawRegistry(QString file);

    bool key_exists(uint32_t root, const std::string& sub_key) override;
    std::optional<RawValue> query(uint32_t root, const std::string& sub_key,
                                  const std::string& value_name) override;
    void set_string(uint32_t root, const std::string& sub_key, const std::string& value_name,
                    const std::string& value) override;

    const QString& file() const { return file_; }

  private:
    QString file_;
};

}  // namespace vistaloom
