#pragma once
#include <cstdio>
#include <cstdlib>
#include <string>

namespace vistaloom::testing {

// Where the test inputs and the theme tool are. ctest names them in the environment rather
// than in the compiled tests, so that no object carries the path of the tree it was built in
// and a compiler cache serves every clone of the tree.
inline std::string test_path(const char* variable) {
    const char* value = std::getenv(variable);
    if (value == nullptr || *value == '\0') {
        std::fprintf(stderr, "%s is not set: run the tests through ctest\n", variable);
        std::exit(2);
    }
    return value;
}
inline std::string test_inputs() {
    return test_path("VISTALOOM_TEST_INPUTS");
}
inline std::string theme_tool() {
    return test_path("VISTALOOM_THEME_TOOL");
}

}  // namespace vistaloom::testing
