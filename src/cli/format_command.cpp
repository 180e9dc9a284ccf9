// korvane format: load a setup file and save it again, pretty-printed; a file that a load would
// change is refused unless forced (cli/rewrite_guard.h).
#include <iostream>
#include <string>

#include "cli/commands.h"
#include "cli/rewrite_guard.h"
#include "cli/setup_files.h"

namespace korvane::cli {

int Format(const std::string& file, const std::string& output, bool force) {
    std::string reason;
    model::SetupDocument setup;
    if (!LoadSetupFileExplained(file, setup, reason)) {
        std::cerr << "korvane: " << reason << "\n";
        return kFailure;
    }
    if (!LoadKeepsAllOrForced(file, force, "formatting")) return kFailure;
    // In place, FILE is always a file, even one named "-".
    if (!(output.empty() ? SaveSetupFileExplained(setup, file, reason)
                         : SaveSetupFileTo(setup, output, reason))) {
        std::cerr << "korvane: " << reason << "\n";
        return kFailure;
    }
    return kSuccess;
}

}  // namespace korvane::cli
