// korvane build: a setup file from the JSON form that show --json prints.
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>

#include "cli/commands.h"
#include "cli/description_forms.h"
#include "cli/setup_files.h"
#include "platform/code_page.h"
#include "setupfile/savable_name.h"

namespace korvane::cli {

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
    if (!SaveSetupFileTo(setup, output, reason)) {
        std::cerr << "korvane: " << reason << "\n";
        return kFailure;
    }
    return kSuccess;
}

}  // namespace korvane::cli
