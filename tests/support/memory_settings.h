#pragma once
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "ground/settings_backend.h"

namespace vistaloom::testing {

// A settings store in memory. Holds what the test put in or the code wrote, and records every
// read and write in order.
class MemorySettings : public SettingsBackend {
  public:
    using Key = std::tuple<std::string, std::string, std::string>;  // application, section, key

    std::map<Key, std::string> values;
    std::vector<Key> reads;
    std::vector<std::pair<Key, std::string>> writes;

    std::optional<std::string> read(const std::string& application, const std::string& section,
                                    const std::string& key) override {
        reads.emplace_back(application, section, key);
        auto it = values.find({application, section, key});
        if (it == values.end()) return std::nullopt;
        return it->second;
    }
    void write(const std::string& application, const std::string& section, const std::string& key,
               const std::string& value) override {
        writes.push_back({{application, section, key}, value});
        values[{application, section, key}] = value;
    }

    void set(const std::string& section, const std::string& key, const std::string& value,
             const std::string& application = "Brindle Vistaloom") {
        values[{application, section, key}] = value;
    }
    std::optional<std::string> get(const std::string& section, const std::string& key,
                                   const std::string& application = "Brindle Vistaloom") const {
        auto it = values.find({application, section, key});
        if (it == values.end()) return std::nullopt;
        return it->second;
    }
    // The keys a section holds, in name order.
    std::vector<std::string> keys_in(const std::string& section,
                                     const std::string& application = "Brindle Vistaloom") const {
        std::vector<std::string> keys;
        for (const auto& [k, v] : values) {
            if (std::get<0>(k) == application && std::get<1>(k) == section)
                keys.push_back(std::get<2>(k));
        }
        return keys;
    }
};

}  // namespace vistaloom::testing
