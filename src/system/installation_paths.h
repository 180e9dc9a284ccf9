// Paths of folders inside the Windows folder: the temporary installation folder, and folders
// that callers name. Only the paths are built; no folder is created.
#pragma once

#include <string>
#include <string_view>

#include "platform/shell_folders.h"

namespace korvane::system {

// Name of the temporary installation folder inside the Windows folder.
inline constexpr std::string_view kTempInstallFolderName = "INSTALLTEMP";

// The Windows folder with its backslash, then `name` and one more backslash: for the name
// Fonts, C:\WINDOWS\Fonts\ on a typical system. When the system has no Windows folder, `name` and
// the backslash alone.
std::string WindowsSubfolderPath(const platform::ShellFolders& shell, std::string_view name);

// The temporary installation folder: C:\WINDOWS\INSTALLTEMP\ on a typical system.
std::string TempInstallPath(const platform::ShellFolders& shell);

}  // namespace korvane::system
