#include "cli/setup_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "cli/standard_output.h"
#include "cli/stylesheet.h"
#include "model/setup_document.h"

namespace korvane::cli {
namespace {

namespace fs = std::filesystem;

#ifdef O_PATH
// A handle to come back to, even to a directory that cannot be read or that was removed.
constexpr int kDirectoryHandleFlags = O_PATH | O_DIRECTORY | O_CLOEXEC;
#else
constexpr int kDirectoryHandleFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
#endif

constexpr const char* kUnsavableContent =
    "a configuration name is not a valid XML element name, or a text holds a character XML "
    "cannot carry";

std::string SystemError(int error) {
    return std::strerror(error);
}

// A temporary directory that the process works in while it exists. The directory it came from
// is held open rather than by name, so that the process returns to it even when it was
// removed meanwhile.
class PrivateWorkingDirectory {
  public:
    PrivateWorkingDirectory() : previous_(open(".", kDirectoryHandleFlags)) {
        if (previous_ < 0) {
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
            failure_ =
                "cannot create a directory in " + temporary.string() + ": " + SystemError(errno);
            return;
        }
        path_ = pattern;
        if (chdir(path_.c_str()) != 0)
            failure_ = "cannot enter " + path_.string() + ": " + SystemError(errno);
    }
    ~PrivateWorkingDirectory() {
        if (previous_ >= 0) {
            // A failed return leaves nothing to undo: the command is about to end.
            [[maybe_unused]] const int returned = fchdir(previous_);
            close(previous_);
        }
        std::error_code ignored;
        if (!path_.empty()) fs::remove_all(path_, ignored);
    }
    PrivateWorkingDirectory(const PrivateWorkingDirectory&) = delete;
    PrivateWorkingDirectory& operator=(const PrivateWorkingDirectory&) = delete;

    // Empty when the process works in the directory; otherwise why it does not.
    const std::string& failure() const { return failure_; }
    const fs::path& path() const { return path_; }

  private:
    int previous_;
    fs::path path_;
    std::string failure_;
};

// Runs `work(directory)` in a private working directory that holds the project's indent.xsl
// and returns its result; false with `reason` set when that directory cannot be prepared.
template <typename Work>
bool InStylesheetDirectory(std::string& reason, Work work) {
    const std::string stylesheet = FindStylesheet();
    if (stylesheet.empty()) {
        reason = "cannot find indent.xsl (looked in " + StylesheetSearchPath() + ")";
        return false;
    }
    PrivateWorkingDirectory directory;
    if (!directory.failure().empty()) {
        reason = "cannot prepare a private working directory: " + directory.failure();
        return false;
    }
    std::error_code error;
    if (!fs::copy_file(stylesheet, directory.path() / "indent.xsl", error)) {
        reason = "cannot prepare a private working directory: cannot copy " + stylesheet + ": " +
                 error.message();
        return false;
    }
    return work(directory.path());
}

// Why saving to `target` (the absolute form of `path`) failed, in words.
std::string WhySaveFailed(const std::string& path, const fs::path& target) {
    std::error_code error;
    const fs::path directory = target.parent_path();
    if (!fs::is_directory(directory, error))
        return path + ": cannot write: the directory " + directory.string() + " does not exist";
    if (access(directory.c_str(), W_OK) != 0 || fs::is_directory(target, error))
        return path + ": cannot write: not writable";
    return path + ": cannot write: " + kUnsavableContent;
}

}  // namespace

bool LoadSetupFileExplained(const std::string& path, model::SetupDocument& setup,
                            std::string& reason) {
    if (setup.LoadXmlFile(path.c_str()) == 1) return true;
    const xml::LoadError& error = setup.LastLoadError();
    switch (error.kind) {
        case xml::LoadError::Kind::Unreadable:
            reason = path + ": cannot read: " + error.text;
            break;
        case xml::LoadError::Kind::NotWellFormed:
            reason = path + ":" + std::to_string(error.line) + ":" + std::to_string(error.column) +
                     ": not well-formed XML: " + error.text;
            break;
        case xml::LoadError::Kind::None:
            reason = path + ": expands beyond what can be read (entity expansion)";
            break;
    }
    return false;
}

bool SaveSetupFileExplained(const model::SetupDocument& setup, const std::string& path,
                            std::string& reason) {
    std::error_code error;
    const fs::path target = fs::absolute(path, error);
    if (error) {
        reason = path + ": cannot write: the current directory is unavailable: " + error.message();
        return false;
    }
    return InStylesheetDirectory(reason, [&](const fs::path&) {
        if (const_cast<model::SetupDocument&>(setup).SaveXmlFile(target.c_str()) == 1) return true;
        reason = WhySaveFailed(path, target);
        return false;
    });
}

bool SaveSetupFileToStandardOutput(const model::SetupDocument& setup, std::string& reason) {
    return InStylesheetDirectory(reason, [&](const fs::path& directory) {
        const fs::path saved = directory / "saved.xml";
        if (const_cast<model::SetupDocument&>(setup).SaveXmlFile(saved.c_str()) != 1) {
            reason = std::string("cannot save: ") + kUnsavableContent;
            return false;
        }
        return CopyFileToStandardOutput(saved.string(), reason);
    });
}

}  // namespace korvane::cli
