#include "cli/setup_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "cli/standard_output.h"
#include "cli/stylesheet.h"
#include "platform/files.h"
#include "setupfile/setup_file.h"

namespace korvane::cli {
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

// Why a save failed, in words: the step and its reason.
std::string WhySaveFailed(const setupfile::SaveResult& result) {
    const std::string step = std::string(setupfile::StepName(result.failed)) + " failed";
    // The file writer refuses a target that exists and is not a regular file with EINVAL.
    if (result.systemError == EINVAL) return step + ": not a regular file";
    if (result.systemError != 0) return step + ": " + platform::ErrorText(result.systemError);
    return result.detail.empty() ? step : step + ": " + result.detail;
}

}  // namespace

bool LoadSetupFileExplained(const std::string& path, model::SetupDocument& document,
                            std::string& reason) {
    const setupfile::LoadResult result = setupfile::LoadSetupFile(path, document);
    switch (result.kind) {
        case setupfile::LoadResult::Kind::Loaded:
            return true;
        case setupfile::LoadResult::Kind::Unreadable:
            reason = path + ": cannot read: " + result.text;
            break;
        case setupfile::LoadResult::Kind::NotWellFormed:
        case setupfile::LoadResult::Kind::Refused:
            reason = path + ":" + std::to_string(result.line) + ":" +
                     std::to_string(result.column) + ": not well-formed XML: " + result.text;
            break;
        case setupfile::LoadResult::Kind::ExpandsBeyond:
        case setupfile::LoadResult::Kind::NoDocument:
            reason = path + ": " + result.text;
            break;
    }
    return false;
}

bool SaveSetupFileExplained(const model::SetupDocument& document, const std::string& path,
                            std::string& reason) {
    std::error_code error;
    const fs::path target = fs::absolute(path, error);
    if (error) {
        reason = path + ": cannot write: the current directory is unavailable: " + error.message();
        return false;
    }
    return InStylesheetDirectory(reason, [&](const fs::path&) {
        const setupfile::SaveResult result = setupfile::SaveSetupFile(document, target.string());
        if (result) return true;
        reason = path + ": cannot write: " + WhySaveFailed(result);
        return false;
    });
}

bool SaveSetupFileToStandardOutput(const model::SetupDocument& document, std::string& reason) {
    return InStylesheetDirectory(reason, [&](const fs::path& directory) {
        const fs::path saved = directory / "saved.xml";
        const setupfile::SaveResult result = setupfile::SaveSetupFile(document, saved.string());
        if (!result) {
            reason = "cannot save: " + WhySaveFailed(result);
            return false;
        }
        return CopyFileToStandardOutput(saved.string(), reason);
    });
}

bool SaveSetupFileTo(const model::SetupDocument& document, const std::string& output,
                     std::string& reason) {
    return output == "-" ? SaveSetupFileToStandardOutput(document, reason)
                         : SaveSetupFileExplained(document, output, reason);
}

}  // namespace korvane::cli
