#pragma once
#include <string>

namespace vistaloom {

// A short text that differs between any two processes running at once (and between runs), so
// staging files of two programs of one user never share a name. Hex digits only.
const std::string& process_token();

}  // namespace vistaloom
