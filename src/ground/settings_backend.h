#pragma once
#include <optional>
#include <string>

namespace vistaloom {

// Two-level text store: (application, section, key) -> text. Missing keys read as nullopt.
class SettingsBackend {
public:
    virtual ~SettingsBackend() = default;
    virtual std::optional<std::string> read(const std::string& application, const std::string& section,
                                            const std::string& key) = 0;
    virtual void write(const std::string& application, const std::string& section,
                       const std::string& key, const std::string& value) = 0;
};

}  // namespace vistaloom
