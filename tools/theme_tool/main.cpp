#include <iostream>
#include <string>
#include <vector>

#include "platform/system/xdg_user_folders.h"
#include "staging_cleanup.h"
#include "theme_tool.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    vistaloom::install_staging_cleanup();
    vistaloom::XdgUserFolders folders;
    return vistaloom::run_theme_tool(args, std::cout, std::cerr, folders);
}
