// korvane diff: what changed between two setup files, in the terms of the grammar.
#include <iostream>
#include <stdexcept>
#include <string>

#include "cli/commands.h"
#include "cli/standard_output.h"
#include "cli/description_diff.h"
#include "cli/quoted_text.h"
#include "setupfile/display_text.h"
#include "cli/setup_files.h"
#include "platform/code_page.h"
#include "setupfile/grammar.h"

namespace korvane::cli {
namespace {

using namespace setupfile;
using Json = nlohmann::ordered_json;

// A value of the JSON form as people read it: a text quoted, in the system code page, with
// what could disguise it escaped; a number as it is.
std::string Shown(const Json& value) {
    if (!value.is_string()) return value.dump();
    return Quoted(platform::FromUtf8(value.get<std::string>()));
}

// Prints the changes of each section that has any, under its title.
class TextPrinter {
  public:
    explicit TextPrinter(const Json& difference) : difference_(difference) {}

    void operator()(const ReserveSection& rule) {
        PrintNamed(rule.title, rule.jsonKey, rule.wordJsonKey, rule.meaningJsonKey);
    }
    void operator()(const ConfigSection& rule) {
        PrintNamed(rule.title, rule.jsonKey, rule.nameJsonKey, rule.valueJsonKey);
    }
    void operator()(const CommandSection& rule) {
        PrintOrdered(rule.title, rule.jsonKey, [](const Json& item) { return Shown(item); });
    }
    template <typename Record, std::size_t N>
    void operator()(const RecordSection<Record, N>& rule) {
        // Names of the values as the file has them, in the order of the JSON form.
        const auto describe = [&rule](const Json& values) {
            std::string text;
            for (const auto& [member, value] : values.items()) {
                for (const auto& declared : rule.values) {
                    if (member == declared.jsonKey)
                        text += (text.empty() ? "" : ", ") + std::string(declared.element) + " " +
                                Shown(value);
                }
            }
            return text;
        };
        const std::vector<const char*> keys = KeyMembers(rule);
        if (keys.empty()) {
            PrintOrdered(rule.title, rule.jsonKey, describe);
            return;
        }
        const Json& changes = difference_.at(rule.jsonKey);
        if (!Heading(rule.title, changes)) return;
        const auto keyOf = [&](const Json& item) {
            Json key = Json::object();
            for (const char* member : keys) key[member] = item[member];
            return describe(key);
        };
        for (const Json& item : changes["removed"]) std::cout << "  - " << keyOf(item) << "\n";
        for (const Json& item : changes["added"]) std::cout << "  + " << keyOf(item) << "\n";
        for (const Json& item : changes["changed"]) {
            std::cout << "  ~ " << describe(item["key"]) << ":";
            std::string separator = " ";
            for (const auto& [member, change] : item["changes"].items()) {
                std::cout << separator << describe(Json{{member, change["old"]}}) << " -> "
                          << Shown(change["new"]);
                separator = "; ";
            }
            std::cout << "\n";
        }
    }

  private:
    // Prints the title and the counts of each kind of change; false when there are none.
    static bool Heading(const char* title, const Json& changes) {
        std::string counts;
        bool any = false;
        for (const auto& [kind, items] : changes.items()) {
            counts += (counts.empty() ? "" : ", ") + std::to_string(items.size()) + " " + kind;
            any = any || !items.empty();
        }
        if (any) std::cout << title << ": " << counts << "\n";
        return any;
    }

    void PrintNamed(const char* title, const char* section, const char* name, const char* value) {
        const Json& changes = difference_.at(section);
        if (!Heading(title, changes)) return;
        const auto nameOf = [&](const Json& item) {
            return setupfile::DisplayForm(platform::FromUtf8(item[name].get<std::string>()));
        };
        for (const Json& item : changes["removed"])
            std::cout << "  - " << nameOf(item) << ": " << Shown(item[value]) << "\n";
        for (const Json& item : changes["added"])
            std::cout << "  + " << nameOf(item) << ": " << Shown(item[value]) << "\n";
        for (const Json& item : changes["changed"]) {
            std::cout << "  ~ " << nameOf(item) << ": " << Shown(item[value]["old"]) << " -> "
                      << Shown(item[value]["new"]) << "\n";
        }
    }

    template <typename Describe>
    void PrintOrdered(const char* title, const char* section, Describe describe) {
        const Json& changes = difference_.at(section);
        if (!Heading(title, changes)) return;
        for (const Json& item : changes["removed"])
            std::cout << "  - [" << item["position"] << "] " << describe(item["item"]) << "\n";
        for (const Json& item : changes["added"])
            std::cout << "  + [" << item["position"] << "] " << describe(item["item"]) << "\n";
        for (const Json& item : changes["moved"]) {
            std::cout << "  > [" << item["from"] << "] -> [" << item["to"] << "] "
                      << describe(item["item"]) << "\n";
        }
    }

    const Json& difference_;
};

}  // namespace

int Diff(const std::string& before, const std::string& after, bool json) {
    model::SetupDocument first, second;
    std::string reason;
    if (!LoadSetupFileExplained(before, first, reason) ||
        !LoadSetupFileExplained(after, second, reason)) {
        std::cerr << "korvane: " << reason << "\n";
        return kDiffError;
    }
    Json difference;
    try {
        difference = DiffDescriptions(first, second);
    } catch (const std::runtime_error& error) {
        std::cerr << "korvane: " << error.what() << "\n";
        return kDiffError;
    }
    const bool same = difference["same"].get<bool>();
    if (json) {
        PrintUtf8(difference.dump(2) + "\n");
    } else if (same) {
        std::cout << "no differences\n";
    } else {
        TextPrinter printer(difference);
        ForEachSection(printer);
    }
    return same ? kSuccess : kDifferent;
}

}  // namespace korvane::cli
