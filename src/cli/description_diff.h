// The difference between two descriptions in the terms of the grammar, as one JSON document
// (its schema is in the README). Both are compared in their JSON form, so numbers compare as
// the numbers they read as and texts as texts.
//   - Reserved words and configuration fields, by name: added, removed, changed.
//   - Files and registry values, by the values the grammar names as their key (folder, file name
//     and target OS; path and key), without ASCII case, as Windows compares paths; items with
//     the same key are paired in order of appearance; the order of the items does not matter.
//   - Processes and commands, as ordered lists: added, removed and moved, from a longest common
//     subsequence.
#pragma once

#include <cstddef>
#include <vector>

#include <nlohmann/json.hpp>

#include "model/setup_document.h"
#include "setupfile/grammar.h"

namespace korvane::cli {

// The JSON members of the values that key the items of a section, in the grammar's order;
// none for the ordered lists.
template <typename Record, std::size_t N>
std::vector<const char*> KeyMembers(const setupfile::RecordSection<Record, N>& rule) {
    std::vector<const char*> members;
    for (std::size_t position : rule.keys) members.push_back(rule.values[position].jsonKey);
    return members;
}

// Throws std::runtime_error when two lists are too long and too different to compare.
nlohmann::ordered_json DiffDescriptions(const model::SetupDocument& before,
                                        const model::SetupDocument& after);

// True when the difference holds no change at all.
bool IsSame(const nlohmann::ordered_json& difference);

}  // namespace korvane::cli
