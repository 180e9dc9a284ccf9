#include "system/installation_paths.h"

#include "system/special_folders.h"

namespace korvane::system {

std::string WindowsSubfolderPath(const platform::ShellFolders& shell, std::string_view name) {
    std::string path = SpecialFolderPath(shell, kWindowsFolder, 0);
    path.append(name);
    path.push_back('\\');
    return path;
}

std::string TempInstallPath(const platform::ShellFolders& shell) {
    return WindowsSubfolderPath(shell, kTempInstallFolderName);
}

}  // namespace korvane::system
