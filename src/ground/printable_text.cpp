#include "ground/printable_text.h"

namespace vistaloom {

std::string printable(const std::string& text) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || c == '\\') {
            out += "\\x";
            out += digits[byte >> 4];
            out += digits[byte & 15];
        } else {
            out.push_back(c);
        }
    }
    return out;
}

}  // namespace vistaloom
