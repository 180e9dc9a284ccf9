#include "cli/stylesheet.h"

#include <vector>

#include "platform/file_tree.h"
#include "platform/program_path.h"

namespace korvane::cli {
namespace {

std::vector<std::string> Candidates() {
    std::vector<std::string> candidates;
    const std::string folder = platform::ProgramFolder();
    if (!folder.empty()) {
        candidates.push_back(platform::JoinPath(platform::ParentFolder(folder),
                                                KORVANE_INSTALL_DATADIR "/korvane/indent.xsl"));
        candidates.push_back(platform::JoinPath(folder, "indent.xsl"));
    }
#ifdef KORVANE_SOURCE_DATA_DIR
    candidates.push_back(KORVANE_SOURCE_DATA_DIR "/indent.xsl");
#endif
    return candidates;
}

}  // namespace

std::string FindStylesheet() {
    for (const std::string& candidate : Candidates()) {
        if (platform::KindOf(candidate) == platform::PathKind::RegularFile) return candidate;
    }
    return std::string();
}

std::string StylesheetSearchPath() {
    std::string places;
    for (const std::string& candidate : Candidates())
        places += (places.empty() ? "" : ", ") + candidate;
    return places;
}

}  // namespace korvane::cli
