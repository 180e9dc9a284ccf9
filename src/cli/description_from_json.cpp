#include "cli/description_from_json.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <map>
#include <stdexcept>

#include "cli/json_path.h"
#include "platform/utf8.h"
#include "setupfile/display_text.h"
#include "setupfile/grammar.h"
#include "setupfile/read_text.h"
#include "setupfile/record_texts.h"
#include "setupfile/savable_name.h"
#include "xml/xml_rules.h"

namespace korvane::cli {
namespace {

using namespace setupfile;
using Json = nlohmann::json;

// The key at the top that editors read a schema's address from; build reads nothing from it.
constexpr const char* kSchemaKey = "$schema";

[[noreturn]] void Refuse(std::string message) {
    throw std::runtime_error(std::move(message));
}

// A UTF-8 text of the JSON as messages show it.
std::string Shown(std::string_view utf8) {
    return DisplayForm(LocalFormOfUtf8(utf8));
}

// What a value is, for a message that says what was found instead.
std::string Found(const Json& value) {
    switch (value.type()) {
        case Json::value_t::object:
            return "an object";
        case Json::value_t::array:
            return "an array";
        case Json::value_t::string:
            return "a string";
        default:
            return value.dump();  // null, true, false, or the number
    }
}

std::string Listed(const std::vector<std::string>& keys) {
    std::string list;
    for (const std::string& key : keys) list += (list.empty() ? "" : ", ") + key;
    return list;
}

// Refuses the first member of `object` (at `path`), in key order, whose key is not among `keys`:
// the description's when `section` is null, otherwise an entry's of `section`.
void RefuseUnknownKeys(const Json& object, const std::string& path,
                       const std::vector<std::string>& keys, const char* section) {
    for (const auto& member : object.items()) {
        if (std::find(keys.begin(), keys.end(), member.key()) == keys.end()) {
            Refuse(MemberPath(path, member.key()) + " is unknown; " +
                   (section != nullptr ? "an entry of " + std::string(section)
                                       : std::string("the description")) +
                   " has the keys " + Listed(keys));
        }
    }
}

// Where a value is: the entry (or section) holding it and its key there, if any. Its path is
// made only for a message.
struct Where {
    const std::string& holder;
    const char* key = nullptr;

    std::string Path() const { return key != nullptr ? MemberPath(holder, key) : holder; }
};

// The member `key` of the entry at `path`.
const Json& Member(const Json& entry, const std::string& path, const char* key) {
    const auto found = entry.find(key);
    if (found == entry.end()) Refuse(MemberPath(path, key) + " is missing");
    return *found;
}

// The first character of UTF-8 `text` that a setup file cannot hold, as "U+0001".
std::string FirstCharacterNotInXml(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = platform::Utf8CharLength(text.data() + at, text.size() - at);
        if (!xml::IsXmlText(text.substr(at, length))) {
            char name[16];
            std::snprintf(name, sizeof name, "U+%04X",
                          static_cast<unsigned>(platform::DecodeUtf8(text.data() + at, length)));
            return name;
        }
        at += length;
    }
    return {};
}

// The text at `path` in the code page, with its UTF-8 text where the code page lacks
// characters. Refused when a load would keep less of it than `capacity` - 1 bytes in the code
// page, or when no setup file could hold it. The library keeps texts as C strings, which
// would end at a NUL.
ReadText Text(const Json& value, const Where& where, std::vector<std::string>& warnings,
              std::size_t capacity = 0) {
    if (!value.is_string()) Refuse(where.Path() + " must be a string; it is " + Found(value));
    const std::string& text = value.get_ref<const std::string&>();
    if (text.find('\0') != std::string::npos)
        Refuse(where.Path() + " holds a NUL character (\\u0000), which no text can hold");
    // JSON text is well-formed UTF-8: the parser refuses anything else.
    if (!xml::IsXmlText(text)) {
        Refuse(where.Path() + " holds " + FirstCharacterNotInXml(text) +
               ", which no setup file can hold");
    }
    ReadText read = ReadUtf8Text(text);
    if (capacity != 0 && read.text.size() > capacity - 1) {
        Refuse(where.Path() + " holds " + std::to_string(read.text.size()) +
               " bytes; a load keeps " + std::to_string(capacity - 1));
    }
    if (read.lossy) {
        warnings.push_back(where.Path() + " holds characters that the code page lacks: '" +
                           Shown(text) + "' reads as '" + DisplayForm(read.text) +
                           "'; the file built holds them as the JSON has them");
    }
    return read;
}

// The integer `value` when it lies in [minimum, maximum].
bool IntegerWithin(const Json& value, std::int64_t minimum, std::int64_t maximum,
                   std::int64_t& integer) {
    if (value.is_number_unsigned()) {
        const auto number = value.get<std::uint64_t>();
        if (number > static_cast<std::uint64_t>(maximum)) return false;
        integer = static_cast<std::int64_t>(number);
        return integer >= minimum;
    }
    if (!value.is_number_integer()) return false;
    integer = value.get<std::int64_t>();
    return integer >= minimum && integer <= maximum;
}

std::int32_t Number(const Json& value, const Where& where) {
    std::int64_t number = 0;
    if (!IntegerWithin(value, std::numeric_limits<std::int32_t>::min(),
                       std::numeric_limits<std::int32_t>::max(), number)) {
        Refuse(where.Path() + " must be an integer from -2147483648 to 2147483647; it is " +
               Found(value));
    }
    return static_cast<std::int32_t>(number);
}

// A flag: the library counts any non-zero number as set, but in a file written by hand any
// other number is more likely a slip than a meaning.
std::int32_t Flag(const Json& value, const Where& where) {
    if (value.is_boolean()) return value.get<bool>() ? 1 : 0;
    std::int64_t number = 0;
    if (!IntegerWithin(value, 0, 1, number))
        Refuse(where.Path() + " must be 0, 1, false or true; it is " + Found(value));
    return static_cast<std::int32_t>(number);
}

// The code-page texts of the keys of a keyed section met so far, each with the position of the
// entry that gave it.
using SeenKeys = std::map<std::string, std::size_t>;

// Refuses the key `key` (its UTF-8 text `utf8`) of the entry at `position` of `section` when an
// earlier entry gave a key that reads alike.
void RefuseRepeatedKey(SeenKeys& seen, const ReadText& key, const std::string& utf8,
                       const char* section, std::size_t position, const char* keyName,
                       const char* what) {
    const auto [earlier, added] = seen.emplace(key.text, position);
    if (added) return;
    Refuse(MemberPath(ElementPath(section, position), keyName) + " is a later duplicate of the " +
           what + " '" + Shown(utf8) + "' (" +
           MemberPath(ElementPath(section, earlier->second), keyName) + "), which a load drops" +
           (key.lossy ? ": both read as '" + DisplayForm(key.text) + "'" : ""));
}

// Fills the description from each section of the JSON form.
class JsonReader {
  public:
    JsonReader(const Json& json, model::SetupDocument& setup, std::vector<std::string>& warnings)
        : json_(json), setup_(setup), warnings_(warnings) {}

    // Texts that the code page cannot hold are kept as the JSON has them, as a load keeps a
    // file's, so that the file built holds them.
    void operator()(const ReserveSection& rule) {
        SeenKeys seen;
        ForEachEntry(rule.jsonKey, {rule.wordJsonKey, rule.meaningJsonKey},
                     [&](const Json& entry, const std::string& path, std::size_t position) {
                         const Json& wordJson = Member(entry, path, rule.wordJsonKey);
                         ReadText word =
                             Text(wordJson, {path, rule.wordJsonKey}, warnings_, rule.wordCapacity);
                         ReadText meaning =
                             Text(Member(entry, path, rule.meaningJsonKey),
                                  {path, rule.meaningJsonKey}, warnings_, rule.meaningCapacity);
                         RefuseRepeatedKey(seen, word, wordJson.get_ref<const std::string&>(),
                                           rule.jsonKey, position, rule.wordJsonKey,
                                           "reserved word");
                         setup_.AddReservedWord(word.text, meaning.text, "");
                         KeepLossyKeyed(setup_, model::KeptTable::ReservedWords, word, meaning);
                     });
    }
    void operator()(const ConfigSection& rule) {
        SeenKeys seen;
        ForEachEntry(
            rule.jsonKey, {rule.nameJsonKey, rule.valueJsonKey},
            [&](const Json& entry, const std::string& path, std::size_t position) {
                const Json& nameJson = Member(entry, path, rule.nameJsonKey);
                ReadText name = Text(nameJson, {path, rule.nameJsonKey}, warnings_);
                ReadText value = Text(Member(entry, path, rule.valueJsonKey),
                                      {path, rule.valueJsonKey}, warnings_, rule.valueCapacity);
                const std::string& utf8 = nameJson.get_ref<const std::string&>();
                // A name that the code page cannot hold is saved as the JSON has it.
                if (name.lossy ? !IsSavableUtf8FieldName(utf8) : !IsSavableFieldName(name.text)) {
                    Refuse(MemberPath(path, rule.nameJsonKey) + " '" + Shown(utf8) +
                           "' cannot be saved (not an XML element name, or not "
                           "writable in " +
                           kFileEncoding + ")");
                }
                RefuseRepeatedKey(seen, name, utf8, rule.jsonKey, position, rule.nameJsonKey,
                                  "configuration field");
                setup_.AddElementField(name.text, value.text);
                KeepLossyKeyed(setup_, model::KeptTable::ElementFields, name, value);
            });
    }
    void operator()(const CommandSection& rule) {
        const Json& commands = Section(rule.jsonKey);
        for (std::size_t position = 0; position < commands.size(); ++position) {
            const std::string path = ElementPath(rule.jsonKey, position);
            ReadText command = Text(commands[position], {path}, warnings_, kCommandCapacity);
            const std::size_t count = setup_.AddCommand(rule.list, command.text);
            KeepLossy(setup_, model::KeptTableOf(rule.list), count - 1, 0, command);
        }
    }
    template <typename Record, std::size_t N>
    void operator()(const RecordSection<Record, N>& rule) {
        std::vector<std::string> keys;
        for (std::size_t position : rule.exportOrder) keys.push_back(rule.values[position].jsonKey);
        ForEachEntry(
            rule.jsonKey, keys, [&](const Json& entry, const std::string& path, std::size_t) {
                // The text of each value as a file would hold it, by its position in the grammar; a
                // number as a save writes it. Read in the order of the JSON form, so that the
                // first member at fault is named.
                std::array<ReadText, N> read;
                for (std::size_t position : rule.exportOrder) {
                    const ValueRule<Record>& value = rule.values[position];
                    const Json& member = Member(entry, path, value.jsonKey);
                    const Where where{path, value.jsonKey};
                    switch (value.kind) {
                        case ValueKind::Flag:
                            read[position] = {
                                NumberText(value.kind, Flag(member, where)), {}, false};
                            break;
                        case ValueKind::Number:
                            read[position] = {
                                NumberText(value.kind, Number(member, where)), {}, false};
                            break;
                        case ValueKind::Text:
                            read[position] = Text(member, where, warnings_, value.capacity);
                            break;
                    }
                }
                std::array<std::string_view, N> texts;
                for (std::size_t position = 0; position < N; ++position)
                    texts[position] = read[position].text;
                const std::size_t count = (setup_.*rule.append)(RecordFromTexts(rule, texts));
                for (std::size_t position = 0; position < N; ++position) {
                    if (rule.values[position].StoredAsText())
                        KeepLossy(setup_, rule.kept, count - 1, rule.values[position].text,
                                  read[position]);
                }
            });
    }

  private:
    // The array of a section; an empty one when the section is left out.
    const Json& Section(const char* key) const {
        static const Json kEmpty = Json::array();
        const auto found = json_.find(key);
        if (found == json_.end()) return kEmpty;
        if (!found->is_array())
            Refuse(std::string(key) + " must be an array; it is " + Found(*found));
        return *found;
    }

    // Calls `read(entry, path, position)` for each entry of a section of objects with the keys
    // `keys`.
    template <typename Read>
    void ForEachEntry(const char* section, const std::vector<std::string>& keys, Read&& read) {
        const Json& entries = Section(section);
        for (std::size_t position = 0; position < entries.size(); ++position) {
            const Json& entry = entries[position];
            const std::string path = ElementPath(section, position);
            if (!entry.is_object()) Refuse(path + " must be an object; it is " + Found(entry));
            RefuseUnknownKeys(entry, path, keys, section);
            read(entry, path, position);
        }
    }

    const Json& json_;
    model::SetupDocument& setup_;
    std::vector<std::string>& warnings_;
};

// The keys of the whole description: the schema's address, then the sections in the order of
// the file.
std::vector<std::string> DescriptionKeys() {
    std::vector<std::string> keys{kSchemaKey};
    ForEachSection([&](const auto& section) { keys.push_back(section.jsonKey); });
    return keys;
}

}  // namespace

void FromJson(const Json& json, model::SetupDocument& setup, std::vector<std::string>& warnings) {
    if (!json.is_object()) Refuse("the description must be an object; it is " + Found(json));
    RefuseUnknownKeys(json, "", DescriptionKeys(), nullptr);
    const auto schema = json.find(kSchemaKey);
    if (schema != json.end() && !schema->is_string())
        Refuse(std::string(kSchemaKey) + " must be a string; it is " + Found(*schema));
    JsonReader reader(json, setup, warnings);
    ForEachSection(reader);
}

}  // namespace korvane::cli
