// korvane folders: the special folders of the running system and the temporary installation path.
#include <cstdint>
#include <iostream>
#include <string>

#include "cli/commands.h"
#include "platform/shell_folders.h"
#include "system/installation_paths.h"
#include "system/special_folders.h"

namespace korvane::cli {

int Folders() {
    const char* names[] = {"system folder", "desktop",       "Windows folder",  "Start menu",
                           "system drive",  "program files", "application data"};
    std::cout << "KIND  FOLDER            CURRENT USER / ALL USERS\n";
    const platform::ShellFolders& shell = platform::SystemShellFolders();
    for (std::int32_t kind = 0; kind < 7; ++kind) {
        const std::string currentUser = system::SpecialFolderPath(shell, kind, 0);
        const std::string allUsers = system::SpecialFolderPath(shell, kind, 1);
        std::string folder = names[kind];
        folder.resize(16, ' ');
        std::cout << kind << "     " << folder << "  "
                  << (currentUser.empty() ? "(none)" : currentUser);
        if (currentUser != allUsers) std::cout << " / " << (allUsers.empty() ? "(none)" : allUsers);
        std::cout << "\n";
    }
    std::cout << "temporary installation path: " << system::TempInstallPath(shell) << "\n";
    return kSuccess;
}

}  // namespace korvane::cli
