#include "cli/setup_files.h"

#include <cerrno>
#include <string>

#include "cli/standard_output.h"
#include "cli/stylesheet.h"
#include "platform/file_tree.h"
#include "platform/files.h"
#include "platform/private_folder.h"
#include "setupfile/setup_file.h"

namespace korvane::cli {
namespace {

// Runs `work()` in a private working directory that holds the project's indent.xsl and returns
// its result; false with `reason` set when that directory cannot be prepared.
template <typename Work>
bool InStylesheetDirectory(std::string& reason, Work work) {
    const std::string stylesheet = FindStylesheet();
    if (stylesheet.empty()) {
        reason = "cannot find indent.xsl (looked in " + StylesheetSearchPath() + ")";
        return false;
    }
    std::string bytes;
    if (const int error = platform::ReadRegularFile(stylesheet, platform::kMaxReadBytes, bytes)) {
        reason = "cannot read " + stylesheet + ": " + platform::ErrorText(error);
        return false;
    }
    const platform::PrivateCurrentFolder directory;
    if (!directory.failure().empty()) {
        reason = "cannot prepare a private working directory: " + directory.failure();
        return false;
    }
    if (const int error = platform::WriteNewFile("indent.xsl", bytes.data(), bytes.size())) {
        reason = "cannot prepare a private working directory: cannot copy " + stylesheet + ": " +
                 platform::ErrorText(error);
        return false;
    }
    return work();
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
    std::string failure;
    const std::string target = platform::AbsolutePath(path, failure);
    if (target.empty()) {
        reason = path + ": cannot write: the current directory is unavailable: " + failure;
        return false;
    }
    return InStylesheetDirectory(reason, [&] {
        const setupfile::SaveResult result = setupfile::SaveSetupFile(document, target);
        if (result) return true;
        reason = path + ": cannot write: " + WhySaveFailed(result);
        return false;
    });
}

bool SaveSetupFileToStandardOutput(const model::SetupDocument& document, std::string& reason) {
    return InStylesheetDirectory(reason, [&] {
        // Within the private working directory, where no other file has this name.
        const std::string saved = "saved.xml";
        const setupfile::SaveResult result = setupfile::SaveSetupFile(document, saved);
        if (!result) {
            reason = "cannot save: " + WhySaveFailed(result);
            return false;
        }
        return CopyFileToStandardOutput(saved, reason);
    });
}

bool SaveSetupFileTo(const model::SetupDocument& document, const std::string& output,
                     std::string& reason) {
    return output == "-" ? SaveSetupFileToStandardOutput(document, reason)
                         : SaveSetupFileExplained(document, output, reason);
}

}  // namespace korvane::cli
