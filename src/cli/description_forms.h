// The whole setup description in the command's two forms: one JSON document, and tables.
// Both walk the grammar's declaration: sections in the order of the file, the values of an item
// in the order of the exports' parameters. Texts of the description are in the system code page;
// the JSON form holds them in UTF-8.
#pragma once

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "model/setup_document.h"

namespace korvane::cli {

nlohmann::ordered_json ToJson(const model::SetupDocument& setup);

// The JSON form is read back by FromJson (description_from_json.h).

// One section as a table: its title, the column titles (the names of the file's elements) and
// one row of texts per entry.
struct Table {
    std::string title;
    std::vector<std::string> header;
    std::vector<std::vector<std::string>> rows;
};

std::vector<Table> ToTables(const model::SetupDocument& setup);

}  // namespace korvane::cli
