// Writes a generated photo tree for the whole-program runs and the benchmarks:
//   e2e_photo_tree ROOT COUNT FOLDERS BROKEN [loop] [WIDTHxHEIGHT]
// and prints the readable photos' paths, one a line.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "support/photo_tree.h"

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: %s ROOT COUNT FOLDERS BROKEN [loop] [WxH]\n", argv[0]);
        return 2;
    }
    bool loop = false;
    int width = 48, height = 36;
    for (int i = 5; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "loop")
            loop = true;
        else if (std::sscanf(argv[i], "%dx%d", &width, &height) != 2)
            return 2;
    }
    const auto tree = vistaloom::testing::make_photo_tree(argv[1], std::atoi(argv[2]),
                                                          std::max(1, std::atoi(argv[3])),
                                                          std::atoi(argv[4]), loop, width, height);
    for (const std::string& path : tree.readable) std::printf("%s\n", path.c_str());
    return 0;
}
