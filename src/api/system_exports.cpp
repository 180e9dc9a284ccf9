// The exports of the system environment: special folders, installation paths and file version
// texts. They ask the system afresh at every call and do not touch the setup description.
#include <string>

#include "api/boundary.h"
#include "korvane.h"
#include "model/null_text.h"
#include "platform/file_times.h"
#include "platform/shell_folders.h"
#include "platform/version_resource.h"
#include "system/installation_paths.h"
#include "system/special_folders.h"
#include "system/target_file_version.h"

using korvane::api::CopyOut;
using korvane::api::Guarded;
using korvane::api::OneCallAtATime;
using korvane::model::TextOrEmpty;
using korvane::platform::SystemShellFolders;

namespace {

// Writes `path` (unless the buffer is null) and returns its length.
int32_t HandOutPath(char* out, const std::string& path) {
    CopyOut(out, path);
    return static_cast<int32_t>(path.size());
}

}  // namespace

int32_t KORVANE_CALL GetSpcialDirectoryInCurrentSystem(int32_t kind, int32_t allUsers, char* path) {
    const OneCallAtATime serialised;
    if (path == nullptr) return 0;
    // The buffer is cleared before anything can fail, so a failure leaves the empty path.
    return Guarded(
        [&] {
            korvane::system::ResolveSpecialFolder(SystemShellFolders(), kind, allUsers, path);
            return 0;
        },
        [] { return 0; });
}

int32_t KORVANE_CALL GetTempInstallPath(char* path) {
    const OneCallAtATime serialised;
    return Guarded(
        [&] { return HandOutPath(path, korvane::system::TempInstallPath(SystemShellFolders())); },
        [&] { return HandOutPath(path, std::string()); });
}

int32_t KORVANE_CALL GetProtectedFilePath(char* path, const char* name) {
    const OneCallAtATime serialised;
    return Guarded(
        [&] {
            return HandOutPath(path, korvane::system::WindowsSubfolderPath(SystemShellFolders(),
                                                                           TextOrEmpty(name)));
        },
        [&] { return HandOutPath(path, std::string()); });
}

int32_t KORVANE_CALL GetTargetFileVersion(const char* fileName, char* version) {
    const OneCallAtATime serialised;
    return Guarded(
        [&] {
            const auto outcome = korvane::system::ReadTargetFileVersion(
                korvane::platform::SystemVersionResources(), korvane::platform::SystemFileTimes(),
                std::string(TextOrEmpty(fileName)));
            if (outcome.text) CopyOut(version, *outcome.text);
            return outcome.result;
        },
        [] { return 0; });
}
