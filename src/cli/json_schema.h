// A JSON Schema (draft 2020-12) of the JSON form of a setup description, what `build` reads
// and `show --json` writes, made from the grammar's declaration as that form is.
#pragma once

#include <string_view>

#include <nlohmann/json.hpp>

namespace korvane::cli {

// `maker` names what made the schema, for its description.
nlohmann::ordered_json DescriptionJsonSchema(std::string_view maker);

}  // namespace korvane::cli
