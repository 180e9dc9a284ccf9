#include "cli/json_schema.h"

#include <cstdint>
#include <limits>
#include <string>

#include "setupfile/grammar.h"

namespace korvane::cli {
namespace {

using namespace setupfile;
using Json = nlohmann::ordered_json;

constexpr const char* kDraft = "https://json-schema.org/draft/2020-12/schema";

// A text of at most `capacity` - 1 bytes in the system code page. A schema counts characters,
// each at least one byte, so its maxLength is an upper bound; build counts the bytes.
Json Text(std::size_t capacity, const std::string& about) {
    return {{"type", "string"},
            {"maxLength", capacity - 1},
            {"description", about + " At most " + std::to_string(capacity - 1) +
                                " bytes in the system code page."}};
}

Json Number(const std::string& about) {
    return {{"type", "integer"},
            {"minimum", std::numeric_limits<std::int32_t>::min()},
            {"maximum", std::numeric_limits<std::int32_t>::max()},
            {"description", about}};
}

// Build takes 0 and 1, and false and true, for a flag; show --json writes 0 and 1.
Json Flag(const std::string& about) {
    return {{"enum", {0, 1, false, true}}, {"description", about + " 1 (or true) sets it."}};
}

// An array of objects that hold exactly the members of `properties`, each required.
Json ArrayOfEntries(const std::string& about, Json properties) {
    Json required = Json::array();
    for (const auto& member : properties.items()) required.push_back(member.key());
    return {{"type", "array"},
            {"description", about},
            {"items",
             {{"type", "object"},
              {"properties", std::move(properties)},
              {"required", std::move(required)},
              {"additionalProperties", false}}}};
}

std::string Element(const char* element) {
    return std::string(element) + " in the setup file.";
}

std::string Section(const char* title, const char* section) {
    return std::string(title) + " (" + section + " in the setup file).";
}

// The schema of each section's member, in the grammar's order.
class SectionSchemas {
  public:
    void operator()(const ReserveSection& rule) {
        Json entry = Json::object();
        entry[rule.wordJsonKey] = Text(rule.wordCapacity, Element(rule.wordElement));
        entry[rule.meaningJsonKey] = Text(rule.meaningCapacity, Element(rule.meaningElement));
        properties_[rule.jsonKey] =
            ArrayOfEntries(Section(rule.title, rule.section), std::move(entry));
    }
    void operator()(const ConfigSection& rule) {
        Json entry = Json::object();
        // A field's name becomes an element's name, which is never empty; build checks the rest.
        entry[rule.nameJsonKey] = {
            {"type", "string"},
            {"minLength", 1},
            {"description", std::string("The element's name in ") + rule.section +
                                ": an XML name without a colon that the file's encoding (" +
                                kFileEncoding + ") can write."}};
        entry[rule.valueJsonKey] = Text(rule.valueCapacity, "The element's text.");
        properties_[rule.jsonKey] =
            ArrayOfEntries(Section(rule.title, rule.section), std::move(entry));
    }
    void operator()(const CommandSection& rule) {
        properties_[rule.jsonKey] = {{"type", "array"},
                                     {"description", Section(rule.title, rule.section)},
                                     {"items", Text(kCommandCapacity, Element(kCommandItem))}};
    }
    template <typename Record, std::size_t N>
    void operator()(const RecordSection<Record, N>& rule) {
        Json entry = Json::object();
        for (std::size_t position : rule.exportOrder) {
            const ValueRule<Record>& value = rule.values[position];
            switch (value.kind) {
                case ValueKind::Text:
                    entry[value.jsonKey] = Text(value.capacity, Element(value.element));
                    break;
                case ValueKind::Number:
                    entry[value.jsonKey] = Number(Element(value.element));
                    break;
                case ValueKind::Flag:
                    entry[value.jsonKey] = Flag(Element(value.element));
                    break;
            }
        }
        properties_[rule.jsonKey] =
            ArrayOfEntries(Section(rule.title, rule.section), std::move(entry));
    }

    Json Take() { return std::move(properties_); }

  private:
    Json properties_ = Json::object();
};

}  // namespace

Json DescriptionJsonSchema(std::string_view maker) {
    SectionSchemas sections;
    ForEachSection(sections);
    Json properties = Json::object();
    // Names this schema for editors; build ignores it.
    properties["$schema"] = {{"type", "string"},
                             {"description", "The schema this file follows, for editors."}};
    Json members = sections.Take();
    for (auto& [key, value] : members.items()) properties[key] = std::move(value);
    return {{"$schema", kDraft},
            {"title", "Korvane setup description, JSON form"},
            {"description",
             "What `korvane build` reads and `korvane show --json` writes. Every member is "
             "optional; a missing section is empty. Every member of an entry is required. A "
             "text's maxLength counts characters, an upper bound of its width in bytes of the "
             "system code page, which build checks. Made by " +
                 std::string(maker) + " from the grammar of the setup file."},
            {"type", "object"},
            {"properties", std::move(properties)},
            {"additionalProperties", false}};
}

}  // namespace korvane::cli
