#include <iostream>
#include <string>
#include <vector>

#include "theme_tool.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return vistaloom::run_theme_tool(args, std::cout, std::cerr);
}
