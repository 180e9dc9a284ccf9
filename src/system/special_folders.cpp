#include "system/special_folders.h"

#include <cstring>
#include <iterator>
#include <string_view>

#include "platform/code_page.h"

namespace korvane::system {
namespace {

// The Windows shell's numbers (CSIDL) of the folders asked for.
enum Csidl : int {
    kCsidlStartMenu = 11,
    kCsidlDesktopDirectory = 16,
    kCsidlCommonStartMenu = 22,
    kCsidlCommonDesktopDirectory = 25,
    kCsidlAppData = 26,
    kCsidlCommonAppData = 35,
    kCsidlWindows = 36,
    kCsidlSystem = 37,
    kCsidlProgramFiles = 38,
};

// Where a kind's path comes from when the shell gives none.
enum class Fallback { kNone, kSystemDirectory, kWindowsDirectory, kWindowsDrive, kProgramFiles };

struct KindRow {
    int currentUserCsidl;
    int allUsersCsidl;
    Fallback fallback;
};

// Indexed by SpecialFolderKind.
constexpr KindRow kKinds[] = {
    {kCsidlSystem, kCsidlSystem, Fallback::kSystemDirectory},
    {kCsidlDesktopDirectory, kCsidlCommonDesktopDirectory, Fallback::kNone},
    {kCsidlWindows, kCsidlWindows, Fallback::kWindowsDirectory},
    {kCsidlStartMenu, kCsidlCommonStartMenu, Fallback::kNone},
    {kCsidlWindows, kCsidlWindows, Fallback::kWindowsDrive},
    {kCsidlProgramFiles, kCsidlProgramFiles, Fallback::kProgramFiles},
    {kCsidlAppData, kCsidlCommonAppData, Fallback::kNone},
};

constexpr std::string_view kProgramFilesFolder = "\\Program Files";

// The system's functions are given kMaxPath-byte buffers and fail for longer paths; an answer
// that would not fit counts as no answer, so no result ever outgrows its buffer.
std::string Fitting(std::string answer) {
    if (answer.size() > kMaxPath - 1) answer.clear();
    return answer;
}

// The drive letter and colon at the start of a path such as C:\WINDOWS.
std::string DriveOf(const std::string& path) {
    return path.substr(0, platform::WholeCharPrefix(path, 2));
}

std::string FallbackPath(const platform::ShellFolders& shell, Fallback fallback) {
    switch (fallback) {
        case Fallback::kNone:
            return {};
        case Fallback::kSystemDirectory:
            return Fitting(shell.SystemDirectory());
        case Fallback::kWindowsDirectory:
            return Fitting(shell.WindowsDirectory());
        case Fallback::kWindowsDrive:
            return DriveOf(Fitting(shell.WindowsDirectory()));
        case Fallback::kProgramFiles: {
            // Without a known drive "\Program Files" would name a folder on whatever drive is
            // current, so no drive means no program files folder.
            const std::string drive = DriveOf(Fitting(shell.WindowsDirectory()));
            return drive.empty() ? drive : drive + std::string(kProgramFilesFolder);
        }
    }
    return {};
}

}  // namespace

std::string SpecialFolderPath(const platform::ShellFolders& shell, std::int32_t kind,
                              std::int32_t allUsers) {
    if (kind < 0 || static_cast<std::size_t>(kind) >= std::size(kKinds)) return {};
    const KindRow& row = kKinds[kind];
    std::string path =
        Fitting(shell.FolderPath(allUsers != 0 ? row.allUsersCsidl : row.currentUserCsidl));
    if (kind == kSystemDrive) path = DriveOf(path);
    if (path.empty()) path = FallbackPath(shell, row.fallback);
    // Appended without looking at the last character, as callers expect: a drive root such
    // as C:\ comes back as C:\\.
    if (!path.empty()) path.push_back('\\');
    return path;
}

void ResolveSpecialFolder(const platform::ShellFolders& shell, std::int32_t kind,
                          std::int32_t allUsers, char* path) {
    std::memset(path, 0, kMaxPath);
    const std::string resolved = SpecialFolderPath(shell, kind, allUsers);
    std::memcpy(path, resolved.c_str(), resolved.size() + 1);
}

}  // namespace korvane::system
