// korvane version and folders: the library's services for the running system.
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "korvane.h"
#include "platform/file_times.h"
#include "system/target_file_version.h"

namespace korvane::cli {
namespace {

// Whether `text` is the time-stamp form of `file`'s last write, which the library hands out
// when the file has no usable version text.
bool IsTimeStampOf(const std::string& file, const std::string& text) {
    platform::CalendarTime time{};
    if (!platform::SystemFileTimes().LastWriteTimeUtc(file, time)) return false;
    const std::optional<std::string> stamp = system::TimeStampForm(time);
    return stamp && *stamp == text;
}

}  // namespace

int Version(const std::vector<std::string>& files) {
    int status = kSuccess;
    for (const std::string& file : files) {
        char text[system::kVersionTextBufferSize] = "";
        const int32_t result = GetTargetFileVersion(file.c_str(), text);
        if (text[0] == '\0') {
            std::cerr << "korvane: " << file
                      << ": no version text (missing, unreadable, or a "
                         "version resource without a usable FileVersion)\n";
            status = kFailure;
            continue;
        }
        const bool stamp = IsTimeStampOf(file, text);
        std::cout << file << ": " << text
                  << (stamp ? " (from the time stamp" : " (from the version resource")
                  << (result == 1 ? ")" : "; the version resource holds no usable FileVersion)")
                  << "\n";
        if (result != 1) status = kFailure;
    }
    return status;
}

int Folders() {
    const char* names[] = {"system folder", "desktop",       "Windows folder",  "Start menu",
                           "system drive",  "program files", "application data"};
    std::cout << "KIND  FOLDER            CURRENT USER / ALL USERS\n";
    for (int32_t kind = 0; kind < 7; ++kind) {
        char currentUser[KORVANE_FOLDER_SIZE], allUsers[KORVANE_FOLDER_SIZE];
        GetSpcialDirectoryInCurrentSystem(kind, 0, currentUser);
        GetSpcialDirectoryInCurrentSystem(kind, 1, allUsers);
        std::string folder = names[kind];
        folder.resize(16, ' ');
        std::cout << kind << "     " << folder << "  " << (currentUser[0] ? currentUser : "(none)");
        if (std::string(currentUser) != allUsers)
            std::cout << " / " << (allUsers[0] ? allUsers : "(none)");
        std::cout << "\n";
    }
    // The length tells how large a buffer the path needs.
    std::string temp(static_cast<std::size_t>(GetTempInstallPath(nullptr)) + 1, '\0');
    GetTempInstallPath(temp.data());
    std::cout << "temporary installation path: " << temp.c_str() << "\n";
    return kSuccess;
}

}  // namespace korvane::cli
