#pragma once
#include <string>

namespace vistaloom {

// `text` safe to write to a terminal: control bytes and the backslash as \xNN, everything
// else (UTF-8 included) as it is. Names from theme files and folders can hold any bytes.
std::string printable(const std::string& text);

}  // namespace vistaloom
