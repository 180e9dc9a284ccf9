// korvane version: the version text of each file, and where it came from.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "cli/commands.h"
#include "platform/file_times.h"
#include "platform/version_resource.h"
#include "system/target_file_version.h"

namespace korvane::cli {
namespace {

// Why `file` gave no version text: what the file system says of it, or else its resource.
std::string WhyNoVersionText(const std::string& file) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(file, error);
    if (status.type() == std::filesystem::file_type::not_found) return "no such file";
    if (error) return "cannot be read: " + error.message();
    if (status.type() == std::filesystem::file_type::directory) return "a folder, not a file";
    if (!std::ifstream(file, std::ios::binary)) return "cannot be opened";
    return "no version text: the version resource holds no usable FileVersion";
}

}  // namespace

int Version(const std::vector<std::string>& files) {
    int status = kSuccess;
    for (const std::string& file : files) {
        const system::FileVersionOutcome outcome = system::ReadTargetFileVersion(
            platform::SystemVersionResources(), platform::SystemFileTimes(), file);
        if (!outcome.text || outcome.text->empty()) {
            std::cerr << "korvane: " << file << ": " << WhyNoVersionText(file) << "\n";
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

}  // namespace korvane::cli
