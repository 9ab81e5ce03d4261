#include "theme_files/theme_info_fields.h"

#include <limits>

namespace vistaloom {

namespace {
constexpr int kEnd = std::char_traits<char>::eof();
}

void InfoFieldReader::skip_line_end_after_cr() {
    if (input_.sgetc() == '\n') input_.sbumpc();
}

bool InfoFieldReader::read_text(std::string& field) {
    field.clear();
    int c = input_.sgetc();
    while (c == ' ' || c == '\t') c = input_.snextc();
    if (c == kEnd) return false;

    if (c == '"') {
        input_.sbumpc();
        for (c = input_.sbumpc(); c != kEnd && c != '"'; c = input_.sbumpc()) {
            if (field.size() >= kMaxFieldLength) return false;
            field.push_back(static_cast<char>(c));
        }
        // Whatever stands between the closing quote and the separator is not part of it.
        for (c = input_.sbumpc(); c != kEnd && c != ',' && c != '\n'; c = input_.sbumpc()) {
            if (c == '\r') {
                skip_line_end_after_cr();
                break;
            }
        }
        return true;
    }

    for (c = input_.sbumpc(); c != kEnd && c != ',' && c != '\n'; c = input_.sbumpc()) {
        if (c == '\r') {
            skip_line_end_after_cr();
            break;
        }
        if (field.size() >= kMaxFieldLength) return false;
        field.push_back(static_cast<char>(c));
    }
    while (!field.empty() && field.back() == ' ') field.pop_back();
    return true;
}

bool InfoFieldReader::read_whole(int32_t& value) {
    std::string text;
    return read_text(text) && parse_whole_number(text, value);
}

bool parse_whole_number(const std::string& text, int32_t& value) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (i == text.size()) return false;
    int64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > int64_t{std::numeric_limits<int32_t>::max()} + 1) return false;
    }
    int64_t signed_value = negative ? -magnitude : magnitude;
    if (signed_value > std::numeric_limits<int32_t>::max()) return false;
    value = static_cast<int32_t>(signed_value);
    return true;
}

}  // namespace vistaloom
