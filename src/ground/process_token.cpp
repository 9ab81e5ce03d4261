#include "ground/process_token.h"

#include <chrono>
#include <cstdint>
#include <random>

namespace vistaloom {

const std::string& process_token() {
    static const std::string token = [] {
        // A process id would do on one system but is not portable; 64 random bits mixed with
        // the start time make a clash between two live processes practically impossible.
        std::random_device device;
        uint64_t bits = (static_cast<uint64_t>(device()) << 32) ^ device();
        bits ^= static_cast<uint64_t>(
            std::chrono::steady_clock::now().time_since_epoch().count());
        static const char digits[] = "0123456789abcdef";
        std::string text;
        for (int i = 0; i < 16; ++i, bits >>= 4) text.push_back(digits[bits & 0xF]);
        return text;
    }();
    return token;
}

}  // namespace vistaloom
