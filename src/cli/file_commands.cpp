// korvane format, build and expand.
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>

#include "cli/commands.h"
#include "cli/description.h"
#include "cli/setup_files.h"
#include "platform/code_page.h"
#include "setupfile/savable_name.h"

namespace korvane::cli {
namespace {

// Saves `setup` to `output`, or to standard output when it is "-".
bool SaveTo(const model::SetupDocument& setup, const std::string& output, std::string& reason) {
    return output == "-" ? SaveSetupFileToStandardOutput(setup, reason)
                         : SaveSetupFileExplained(setup, output, reason);
}

}  // namespace

int Format(const std::string& file, const std::string& output) {
    std::string reason;
    model::SetupDocument setup;
    // In place, FILE is always a file, even one named "-".
    if (!LoadSetupFileExplained(file, setup, reason) ||
        !(output.empty() ? SaveSetupFileExplained(setup, file, reason)
                         : SaveTo(setup, output, reason))) {
        std::cerr << "korvane: " << reason << "\n";
        return kFailure;
    }
    return kSuccess;
}

int Build(const std::string& descriptionFile, const std::string& output) {
    std::ifstream input(descriptionFile, std::ios::binary);
    if (!input) {
        std::cerr << "korvane: " << descriptionFile << ": cannot read\n";
        return kFailure;
    }
    model::SetupDocument setup;
    try {
        FromJson(nlohmann::json::parse(input), setup);
    } catch (const nlohmann::json::parse_error& error) {
        std::cerr << "korvane: " << descriptionFile << ": not valid JSON at byte " << error.byte
                  << "\n";
        return kFailure;
    } catch (const std::exception& error) {
        std::cerr << "korvane: " << descriptionFile << ": " << error.what() << "\n";
        return kFailure;
    }
    for (const auto& field : setup.ElementFields()) {
        // A name that the code page cannot hold is written as the JSON has it.
        const std::string* kept =
            setup.Kept().Find(model::KeptTable::ElementFields, field.first, model::kKeyText);
        if (kept != nullptr ? !setupfile::IsSavableUtf8FieldName(*kept)
                            : !setupfile::IsSavableFieldName(field.first)) {
            const std::string utf8Name =
                kept != nullptr ? *kept : platform::ToUtf8Replacing(field.first);
            std::cerr << "korvane: " << descriptionFile << ": the configuration name '" << utf8Name
                      << "' cannot be saved (not an XML element name, or not writable in euc-kr)\n";
            return kFailure;
        }
    }
    std::string reason;
    if (!SaveTo(setup, output, reason)) {
        std::cerr << "korvane: " << reason << "\n";
        return kFailure;
    }
    return kSuccess;
}

int Expand(const std::vector<std::pair<std::string, std::string>>& words,
           const std::vector<std::string>& paths) {
    model::SetupDocument setup;
    for (const auto& [word, text] : words) setup.AddReservedWord(word, "", text);
    for (const std::string& path : paths) std::cout << setup.ExpandReservedWords(path) << "\n";
    return kSuccess;
}

}  // namespace korvane::cli
