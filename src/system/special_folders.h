// Special folders of the running system (system folder, desktop, Windows folder, Start menu,
// system drive, program files, application data), resolved to paths that end in a backslash.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/shell_folders.h"

namespace korvane::system {

// The folder kinds callers ask for, by number.
enum SpecialFolderKind : std::int32_t {
    kSystemFolder = 0,
    kDesktop = 1,
    kWindowsFolder = 2,
    kStartMenu = 3,
    kSystemDrive = 4,
    kProgramFiles = 5,
    kApplicationData = 6,
};

// Windows' path limit: the buffer size the system's folder functions are given, and the number
// of bytes of the caller's buffer that ResolveSpecialFolder clears first.
inline constexpr std::size_t kMaxPath = 260;

// A buffer that holds every resolved path: a folder of up to kMaxPath - 1 characters, the
// appended backslash and the terminator.
inline constexpr std::size_t kSpecialFolderBufferSize = kMaxPath + 1;

// The path of folder `kind` followed by one backslash, or the empty text when the system has no
// such folder or `kind` is not a SpecialFolderKind. A non-zero `allUsers` picks the all-users
// folder for the desktop, the Start menu and application data; other kinds ignore it. At most
// kSpecialFolderBufferSize - 1 characters long.
std::string SpecialFolderPath(const platform::ShellFolders& shell, std::int32_t kind,
                              std::int32_t allUsers);

// Clears the first kMaxPath bytes of `path`, then writes SpecialFolderPath into it with its
// terminator. `path` holds kSpecialFolderBufferSize bytes.
void ResolveSpecialFolder(const platform::ShellFolders& shell, std::int32_t kind,
                          std::int32_t allUsers, char* path);

}  // namespace korvane::system
