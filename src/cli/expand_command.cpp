// korvane expand: paths with the reserved words given on the command line expanded.
#include <iostream>
#include <string>
#include <utility>
#include <vector>

#include "cli/commands.h"
#include "model/setup_document.h"

namespace korvane::cli {

int Expand(const std::vector<std::pair<std::string, std::string>>& words,
           const std::vector<std::string>& paths) {
    model::SetupDocument setup;
    for (const auto& [word, text] : words) setup.AddReservedWord(word, "", text);
    for (const std::string& path : paths) std::cout << setup.ExpandReservedWords(path) << "\n";
    return kSuccess;
}

}  // namespace korvane::cli
