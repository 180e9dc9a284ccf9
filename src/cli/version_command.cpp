// korvane version: the version text of each file, and where it came from.
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "platform/file_times.h"
#include "platform/version_resource.h"
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

}  // namespace korvane::cli
