// korvane version and folders: the library's services for the running system.
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "platform/file_times.h"
#include "platform/shell_folders.h"
#include "platform/version_resource.h"
#include "system/installation_paths.h"
#include "system/special_folders.h"
#include "system/target_file_version.h"

namespace korvane::cli {
int Version(const std::vector<std::string>& files) {
    int status = kSuccess;
    for (const std::string& file : files) {
        const system::FileVersionOutcome outcome = system::ReadTargetFileVersion(
            platform::SystemVersionResources(), platform::SystemFileTimes(), file);
        if (!outcome.text || outcome.text->empty()) {
            std::cerr << "korvane: " << file
                      << ": no version text (missing, unreadable, or a "
                         "version resource without a usable FileVersion)\n";
            status = kFailure;
            continue;
        }
        const bool stamp = outcome.source == system::VersionSource::TimeStamp;
        std::cout << file << ": " << *outcome.text
                  << (stamp ? " (from the time stamp" : " (from the version resource")
                  << (outcome.result == 1 ? ")"
                                          : "; the version resource holds no usable FileVersion)")
                  << "\n";
        if (outcome.result != 1) status = kFailure;
    }
    return status;
}

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
