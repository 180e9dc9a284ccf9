#include "platform/private_folder.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace korvane::platform {
namespace {

namespace fs = std::filesystem;

#ifdef O_PATH
// A handle to come back to, even to a directory that cannot be read or that was removed.
constexpr int kDirectoryHandleFlags = O_PATH | O_DIRECTORY | O_CLOEXEC;
#else
constexpr int kDirectoryHandleFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
#endif

std::string SystemError(int error) {
    return std::strerror(error);
}

}  // namespace

// The directory it came from is held open rather than by name, so that the process returns to
// it even when it was removed meanwhile.
struct PrivateCurrentFolder::State {
    int previous = -1;
    fs::path path;
};

PrivateCurrentFolder::PrivateCurrentFolder() : state_(std::make_unique<State>()) {
    state_->previous = open(".", kDirectoryHandleFlags);
    if (state_->previous < 0) {
        failure_ = "cannot open the current directory: " + SystemError(errno);
        return;
    }
    std::error_code error;
    const fs::path temporary = fs::temp_directory_path(error);
    if (error) {
        failure_ = "no usable temporary directory (see TMPDIR): " + error.message();
        return;
    }
    std::string pattern = (temporary / "korvane-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        failure_ = "cannot create a directory in " + temporary.string() + ": " + SystemError(errno);
        return;
    }
    state_->path = pattern;
    if (chdir(pattern.c_str()) != 0)
        failure_ = "cannot enter " + pattern + ": " + SystemError(errno);
}

PrivateCurrentFolder::~PrivateCurrentFolder() {
    if (state_->previous >= 0) {
        // A failed return leaves nothing to undo: the command is about to end.
        [[maybe_unused]] const int returned = fchdir(state_->previous);
        close(state_->previous);
    }
    std::error_code ignored;
    if (!state_->path.empty()) fs::remove_all(state_->path, ignored);
}

}  // namespace korvane::platform
