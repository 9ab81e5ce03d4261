#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vistaloom {

// Raw values outside the program's own settings (for example the desktop's wallpaper style),
// keyed by a predefined root key and a sub-key, as the system registry holds them.
enum class RawValueType : uint32_t { String = 1, Dword = 4 };

struct RawValue {
    RawValueType type = RawValueType::String;
    std::vector<uint8_t> data;  // string data includes its terminating zero byte
};

class RawRegistry {
public:
    virtual ~RawRegistry() = default;
    virtual bool key_exists(uint32_t root, const std::string& sub_key) = 0;
    virtual std::optional<RawValue> query(uint32_t root, const std::string& sub_key,
                                          const std::string& value_name) = 0;
    virtual void set_string(uint32_t root, const std::string& sub_key, const std::string& value_name,
                            const std::string& value) = 0;
};

// The predefined root keys, with the values the system gives them.
inline constexpr uint32_t HKEY_CLASSES_ROOT = 0x80000000u;
inline constexpr uint32_t HKEY_CURRENT_USER = 0x80000001u;
inline constexpr uint32_t HKEY_LOCAL_MACHINE = 0x80000002u;
inline constexpr uint32_t HKEY_USERS = 0x80000003u;
inline constexpr uint32_t HKEY_PERFORMANCE_DATA = 0x80000004u;
inline constexpr uint32_t HKEY_CURRENT_CONFIG = 0x80000005u;
inline constexpr uint32_t HKEY_DYN_DATA = 0x80000006u;

}  // namespace vistaloom
