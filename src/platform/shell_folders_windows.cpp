// Shell folders on Windows: the shell's special-folder locations and the system's folders.
#include <shlobj.h>
#include <windows.h>

#include "platform/shell_folders.h"

namespace korvane::platform {
namespace {

// Every path these functions give fits in MAX_PATH characters and the terminator.
std::string TextOf(const char (&buffer)[MAX_PATH + 1]) {
    return std::string(buffer);
}

class WindowsShellFolders final : public ShellFolders {
  public:
    std::string FolderPath(int csidl) const override {
        LPITEMIDLIST items = nullptr;
        if (SHGetSpecialFolderLocation(nullptr, csidl, &items) != S_OK) return {};
        char path[MAX_PATH + 1] = {};
        const bool found = SHGetPathFromIDListA(items, path);
        CoTaskMemFree(items);
        return found ? TextOf(path) : std::string();
    }

    std::string SystemDirectory() const override {
        char path[MAX_PATH + 1] = {};
        const UINT length = GetSystemDirectoryA(path, MAX_PATH);
        return length > 0 && length < MAX_PATH ? TextOf(path) : std::string();
    }

    std::string WindowsDirectory() const override {
        char path[MAX_PATH + 1] = {};
        const UINT length = GetWindowsDirectoryA(path, MAX_PATH);
        return length > 0 && length < MAX_PATH ? TextOf(path) : std::string();
    }
};

}  // namespace

const ShellFolders& SystemShellFolders() {
    static const WindowsShellFolders folders;
    return folders;
}

}  // namespace korvane::platform
