// korvane format: load a setup file and save it again, pretty-printed.
#include <iostream>
#include <string>

#include "cli/commands.h"
#include "cli/setup_files.h"

namespace korvane::cli {

int Format(const std::string& file, const std::string& output) {
    std::string reason;
    model::SetupDocument setup;
    // In place, FILE is always a file, even one named "-".
    if (!LoadSetupFileExplained(file, setup, reason) ||
        !(output.empty() ? SaveSetupFileExplained(setup, file, reason)
                         : SaveSetupFileTo(setup, output, reason))) {
        std::cerr << "korvane: " << reason << "\n";
        return kFailure;
    }
    return kSuccess;
}

}  // namespace korvane::cli
