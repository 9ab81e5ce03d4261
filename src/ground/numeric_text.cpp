#include "ground/numeric_text.h"

#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

#include "ground/rounding.h"

namespace vistaloom {

double numeric_value(std::string_view text) {
    std::string compact;
    compact.reserve(text.size());
    for (char c : text) {
        if (c != ' ' && c != '\t' && c != '\n' && c != '\r') compact.push_back(c);
    }
    size_t i = 0;
    std::string number;
    if (i < compact.size() && (compact[i] == '+' || compact[i] == '-')) number.push_back(compact[i++]);
    bool digits = false;
    while (i < compact.size() && compact[i] >= '0' && compact[i] <= '9') {
        number.push_back(compact[i++]);
        digits = true;
    }
    if (i < compact.size() && compact[i] == '.') {
        number.push_back(compact[i++]);
        while (i < compact.size() && compact[i] >= '0' && compact[i] <= '9') {
            number.push_back(compact[i++]);
            digits = true;
        }
    }
    if (!digits) return 0.0;
    if (i < compact.size() && (compact[i] == 'e' || compact[i] == 'E')) {
        size_t j = i + 1;
        std::string exponent = "e";
        if (j < compact.size() && (compact[j] == '+' || compact[j] == '-')) exponent.push_back(compact[j++]);
        bool exp_digits = false;
        while (j < compact.size() && compact[j] >= '0' && compact[j] <= '9') {
            exponent.push_back(compact[j++]);
            exp_digits = true;
        }
        if (exp_digits) number += exponent;
    }
    double value = std::strtod(number.c_str(), nullptr);
    if (!std::isfinite(value)) return 0.0;
    return value;
}

int32_t numeric_int(std::string_view text) {
    double value = numeric_value(text);
    constexpr double lo = std::numeric_limits<int32_t>::min();
    constexpr double hi = std::numeric_limits<int32_t>::max();
    if (value <= lo) return std::numeric_limits<int32_t>::min();
    if (value >= hi) return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(round_half_even(value));
}

}  // namespace vistaloom
