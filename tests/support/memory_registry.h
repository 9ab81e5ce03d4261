#pragma once
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "ground/raw_registry.h"

namespace vistaloom::testing {

// Raw registry values in memory. A sub-key exists once a value was put or written under it
// (or add_key made it); every query and write is recorded in order.
class MemoryRegistry : public RawRegistry {
  public:
    using KeyPath = std::pair<uint32_t, std::string>;  // root, sub-key
    using ValueKey = std::tuple<uint32_t, std::string, std::string>;

    std::set<KeyPath> keys;
    std::map<ValueKey, RawValue> values;
    std::vector<ValueKey> queries;
    std::vector<std::pair<ValueKey, std::string>> writes;

    bool key_exists(uint32_t root, const std::string& sub_key) override {
        return keys.count({root, sub_key}) > 0;
    }
    std::optional<RawValue> query(uint32_t root, const std::string& sub_key,
                                  const std::string& value_name) override {
        queries.emplace_back(root, sub_key, value_name);
        auto it = values.find({root, sub_key, value_name});
        if (it == values.end()) return std::nullopt;
        return it->second;
    }
    void set_string(uint32_t root, const std::string& sub_key, const std::string& value_name,
                    const std::string& value) override {
        writes.push_back({{root, sub_key, value_name}, value});
        put_string(root, sub_key, value_name, value);
    }

    void add_key(uint32_t root, const std::string& sub_key) { keys.insert({root, sub_key}); }
    // A string as the system stores it: its bytes and a terminating zero.
    void put_string(uint32_t root, const std::string& sub_key, const std::string& name,
                    const std::string& text) {
        RawValue v;
        v.type = RawValueType::String;
        v.data.assign(text.begin(), text.end());
        v.data.push_back(0);
        put(root, sub_key, name, v);
    }
    void put_dword(uint32_t root, const std::string& sub_key, const std::string& name,
                   uint32_t number) {
        RawValue v;
        v.type = RawValueType::Dword;
        for (int i = 0; i < 4; ++i) v.data.push_back(static_cast<uint8_t>(number >> (8 * i)));
        put(root, sub_key, name, v);
    }
    void put(uint32_t root, const std::string& sub_key, const std::string& name,
             const RawValue& value) {
        add_key(root, sub_key);
        values[{root, sub_key, name}] = value;
    }
    // The text last stored under a value, without its terminating zero; nullopt when absent.
    std::optional<std::string> string_at(uint32_t root, const std::string& sub_key,
                                         const std::string& name) const {
        auto it = values.find({root, sub_key, name});
        if (it == values.end() || it->second.data.empty()) return std::nullopt;
        return std::string(it->second.data.begin(), it->second.data.end() - 1);
    }
};

}  // namespace vistaloom::testing
