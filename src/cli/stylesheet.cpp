#include "cli/stylesheet.h"

#include <filesystem>
#include <system_error>
#include <vector>

namespace korvane::cli {
namespace {

namespace fs = std::filesystem;

std::vector<fs::path> Candidates() {
    std::vector<fs::path> candidates;
    std::error_code error;
    const fs::path executable = fs::read_symlink("/proc/self/exe", error);
    if (!error) {
        candidates.push_back(executable.parent_path().parent_path() / KORVANE_INSTALL_DATADIR /
                             "korvane" / "indent.xsl");
    }
    candidates.push_back(fs::path(KORVANE_SOURCE_DATA_DIR) / "indent.xsl");
    return candidates;
}

}  // namespace

std::string FindStylesheet() {
    for (const fs::path& candidate : Candidates()) {
        std::error_code error;
        if (fs::is_regular_file(candidate, error)) return candidate.string();
    }
    return std::string();
}

std::string StylesheetSearchPath() {
    std::string places;
    for (const fs::path& candidate : Candidates())
        places += (places.empty() ? "" : ", ") + candidate.string();
    return places;
}

}  // namespace korvane::cli
