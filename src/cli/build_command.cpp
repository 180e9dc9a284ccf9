// korvane build: a setup file from the JSON form that show --json prints. A description is
// read whole and checked before anything is written, so a refused one leaves OUT as it was.
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/description_from_json.h"
#include "cli/json_input.h"
#include "cli/setup_files.h"

namespace korvane::cli {

int Build(const std::string& descriptionFile, const std::string& output) {
    nlohmann::json json;
    std::string reason;
    if (!ParseJsonFileExplained(descriptionFile, json, reason)) {
        std::cerr << "korvane: " << reason << "\n";
        return kFailure;
    }
    model::SetupDocument setup;
    std::vector<std::string> warnings;
    try {
        FromJson(json, setup, warnings);
    } catch (const std::exception& error) {
        std::cerr << "korvane: " << descriptionFile << ": " << error.what() << "\n";
        return kFailure;
    }
    json = nullptr;  // the description holds it all now
    for (const std::string& warning : warnings)
        std::cerr << "korvane: " << descriptionFile << ": warning: " << warning << "\n";
    if (!SaveSetupFileTo(setup, output, reason)) {
        std::cerr << "korvane: " << reason << "\n";
        return kFailure;
    }
    return kSuccess;
}

}  // namespace korvane::cli
