#include "cli/description_diff.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "cli/description_forms.h"
#include "setupfile/grammar.h"

namespace korvane::cli {
namespace {

using namespace setupfile;
using Json = nlohmann::ordered_json;

// Beyond this many cells, the table of common lengths of two lists would take too much memory.
constexpr std::size_t kMaxComparedCells = std::size_t{1} << 24;

Json Change(const Json& before, const Json& after) {
    return {{"old", before}, {"new", after}};
}

Json EmptyChanges(std::initializer_list<const char*> kinds) {
    Json changes = Json::object();
    for (const char* kind : kinds) changes[kind] = Json::array();
    return changes;
}

std::string LowerAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

// Positions in `before` and `after` of a longest common subsequence, as pairs.
std::vector<std::pair<std::size_t, std::size_t>> CommonSubsequence(const Json& before,
                                                                   const Json& after) {
    std::size_t head = 0, beforeEnd = before.size(), afterEnd = after.size();
    while (head < beforeEnd && head < afterEnd && before[head] == after[head]) ++head;
    while (beforeEnd > head && afterEnd > head && before[beforeEnd - 1] == after[afterEnd - 1]) {
        --beforeEnd;
        --afterEnd;
    }
    const std::size_t rows = beforeEnd - head, columns = afterEnd - head;
    if (rows != 0 && columns > kMaxComparedCells / rows) {
        throw std::runtime_error("lists of " + std::to_string(before.size()) + " and " +
                                 std::to_string(after.size()) +
                                 " entries differ too much to compare");
    }
    // length[i][j]: the longest common subsequence of the middles from i and j on. Its values
    // stay below the shorter middle, which the bound above keeps under 4,097.
    std::vector<std::uint16_t> length((rows + 1) * (columns + 1), 0);
    const auto at = [&](std::size_t i, std::size_t j) -> std::uint16_t& {
        return length[i * (columns + 1) + j];
    };
    for (std::size_t i = rows; i-- > 0;) {
        for (std::size_t j = columns; j-- > 0;) {
            at(i, j) = before[head + i] == after[head + j]
                           ? static_cast<std::uint16_t>(at(i + 1, j + 1) + 1)
                           : std::max(at(i + 1, j), at(i, j + 1));
        }
    }
    std::vector<std::pair<std::size_t, std::size_t>> pairs;
    for (std::size_t i = 0; i < head; ++i) pairs.emplace_back(i, i);
    for (std::size_t i = 0, j = 0; i < rows && j < columns;) {
        if (before[head + i] == after[head + j]) {
            pairs.emplace_back(head + i, head + j);
            ++i;
            ++j;
        } else if (at(i + 1, j) >= at(i, j + 1)) {
            ++i;
        } else {
            ++j;
        }
    }
    for (std::size_t k = 0; k < before.size() - beforeEnd; ++k)
        pairs.emplace_back(beforeEnd + k, afterEnd + k);
    return pairs;
}

// Items not in the common subsequence: removed from `before` and added in `after`, except that
// an item removed at one place and added unchanged at another has moved.
Json DiffOrdered(const Json& before, const Json& after) {
    std::vector<bool> keptBefore(before.size()), keptAfter(after.size());
    for (const auto& [i, j] : CommonSubsequence(before, after)) {
        keptBefore[i] = true;
        keptAfter[j] = true;
    }
    Json changes = EmptyChanges({"added", "removed", "moved"});
    for (std::size_t i = 0; i < before.size(); ++i) {
        if (keptBefore[i]) continue;
        bool moved = false;
        for (std::size_t j = 0; j < after.size() && !moved; ++j) {
            if (!keptAfter[j] && before[i] == after[j]) {
                keptAfter[j] = true;
                changes["moved"].push_back({{"from", i}, {"to", j}, {"item", before[i]}});
                moved = true;
            }
        }
        if (!moved) changes["removed"].push_back({{"position", i}, {"item", before[i]}});
    }
    for (std::size_t j = 0; j < after.size(); ++j) {
        if (!keptAfter[j]) changes["added"].push_back({{"position", j}, {"item", after[j]}});
    }
    return changes;
}

// Items keyed by the members `keys`, compared without ASCII case; the n-th item with a key in
// `before` is paired with the n-th with that key in `after`.
Json DiffKeyed(const Json& before, const Json& after, const std::vector<const char*>& keys,
               const std::vector<const char*>& values) {
    const auto keyOf = [&](const Json& item) {
        std::string key;
        for (const char* member : keys) key += LowerAscii(item[member].get<std::string>()) + '\0';
        return key;
    };
    std::map<std::string, std::vector<std::size_t>> afterByKey;
    for (std::size_t j = 0; j < after.size(); ++j) afterByKey[keyOf(after[j])].push_back(j);
    std::map<std::string, std::size_t> pairedByKey;
    std::vector<bool> paired(after.size());

    Json changes = EmptyChanges({"added", "removed", "changed"});
    for (const Json& item : before) {
        const std::string key = keyOf(item);
        const std::vector<std::size_t>& candidates = afterByKey[key];
        std::size_t& used = pairedByKey[key];
        if (used == candidates.size()) {
            changes["removed"].push_back(item);
            continue;
        }
        const std::size_t j = candidates[used++];
        paired[j] = true;
        Json valueChanges = Json::object();
        for (const char* member : values) {
            if (item[member] != after[j][member])
                valueChanges[member] = Change(item[member], after[j][member]);
        }
        if (valueChanges.empty()) continue;
        Json keyValues = Json::object();
        for (const char* member : keys) keyValues[member] = item[member];
        changes["changed"].push_back({{"key", keyValues}, {"changes", valueChanges}});
    }
    for (std::size_t j = 0; j < after.size(); ++j) {
        if (!paired[j]) changes["added"].push_back(after[j]);
    }
    return changes;
}

// Items keyed by the member `name`, exactly (the tables' keys are compared byte by byte).
Json DiffNamed(const Json& before, const Json& after, const char* name, const char* value) {
    std::map<std::string, const Json*> afterByName;
    for (const Json& item : after) afterByName[item[name].get<std::string>()] = &item;
    std::set<std::string> inBefore;
    Json changes = EmptyChanges({"added", "removed", "changed"});
    for (const Json& item : before) {
        const std::string key = item[name].get<std::string>();
        inBefore.insert(key);
        const auto found = afterByName.find(key);
        if (found == afterByName.end()) {
            changes["removed"].push_back(item);
        } else if ((*found->second)[value] != item[value]) {
            changes["changed"].push_back(
                {{name, key}, {value, Change(item[value], (*found->second)[value])}});
        }
    }
    for (const Json& item : after) {
        if (inBefore.count(item[name].get<std::string>()) == 0) changes["added"].push_back(item);
    }
    return changes;
}

class Differ {
  public:
    Differ(const Json& before, const Json& after) : before_(before), after_(after) {}

    void operator()(const ReserveSection& rule) {
        Add(rule.jsonKey, DiffNamed(Of(before_, rule.jsonKey), Of(after_, rule.jsonKey),
                                    rule.wordJsonKey, rule.meaningJsonKey));
    }
    void operator()(const ConfigSection& rule) {
        Add(rule.jsonKey, DiffNamed(Of(before_, rule.jsonKey), Of(after_, rule.jsonKey),
                                    rule.nameJsonKey, rule.valueJsonKey));
    }
    void operator()(const CommandSection& rule) {
        Add(rule.jsonKey, DiffOrdered(Of(before_, rule.jsonKey), Of(after_, rule.jsonKey)));
    }
    template <typename Record, std::size_t N>
    void operator()(const RecordSection<Record, N>& rule) {
        const Json& before = Of(before_, rule.jsonKey);
        const Json& after = Of(after_, rule.jsonKey);
        const std::vector<const char*> keys = KeyMembers(rule);
        if (keys.empty()) {
            Add(rule.jsonKey, DiffOrdered(before, after));
            return;
        }
        std::vector<const char*> values;
        for (std::size_t position : rule.exportOrder)
            values.push_back(rule.values[position].jsonKey);
        Add(rule.jsonKey, DiffKeyed(before, after, keys, values));
    }

    Json Take() { return std::move(difference_); }

  private:
    static const Json& Of(const Json& description, const char* section) {
        return description.at(section);
    }
    void Add(const char* section, Json changes) { difference_[section] = std::move(changes); }

    const Json& before_;
    const Json& after_;
    Json difference_ = Json::object();
};

}  // namespace

nlohmann::ordered_json DiffDescriptions(const model::SetupDocument& before,
                                        const model::SetupDocument& after) {
    const Json beforeJson = ToJson(before), afterJson = ToJson(after);
    Differ differ(beforeJson, afterJson);
    ForEachSection(differ);
    Json difference = {{"same", true}};
    Json sections = differ.Take();
    for (auto& [section, changes] : sections.items()) difference[section] = std::move(changes);
    difference["same"] = IsSame(difference);
    return difference;
}

bool IsSame(const nlohmann::ordered_json& difference) {
    for (const auto& [section, changes] : difference.items()) {
        if (!changes.is_object()) continue;
        for (const auto& [kind, items] : changes.items()) {
            if (!items.empty()) return false;
        }
    }
    return true;
}

}  // namespace korvane::cli
