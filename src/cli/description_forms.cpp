#include "cli/description_forms.h"

#include <array>
#include <climits>
#include <stdexcept>

#include "setupfile/display_text.h"
#include "model/decimal.h"
#include "platform/code_page.h"
#include "setupfile/grammar.h"
#include "setupfile/read_text.h"
#include "setupfile/record_texts.h"

namespace korvane::cli {
namespace {

using namespace setupfile;
using Json = nlohmann::ordered_json;

std::string Utf8(std::string_view text) {
    return platform::ToUtf8Replacing(text);
}

// A text in the JSON form: the file's own text where a load kept one.
std::string Utf8(std::string_view text, const std::string* kept) {
    return kept != nullptr ? *kept : Utf8(text);
}

// A text in a table, in the code page: the file's own text where a load kept one, with the
// characters the code page lacks as escapes.
std::string TableText(std::string_view text, const std::string* kept) {
    return kept != nullptr ? setupfile::LocalFormOfUtf8(*kept) : std::string(text);
}

constexpr model::KeptTable kWords = model::KeptTable::ReservedWords;
constexpr std::size_t kMeaningWidth =
    model::ReservedWordEntry::kWidths[model::ReservedWordEntry::kMeaning];
constexpr model::KeptTable kFields = model::KeptTable::ElementFields;

// How a value is shown and exported: a number as the number it reads as, a text as it is.
template <typename Record>
bool IsNumber(const ValueRule<Record>& value) {
    return value.kind != ValueKind::Text;
}

template <typename Record>
std::int32_t NumberOf(const Record& record, const ValueRule<Record>& value) {
    return value.StoredAsText() ? model::ParseDecimal(record.texts[value.text])
                                : record.*value.number;
}

// The JSON form of each section, added to `json` in the grammar's order.
class JsonWriter {
  public:
    explicit JsonWriter(const model::SetupDocument& setup) : setup_(setup) {}

    void operator()(const ReserveSection& rule) {
        Json& words = json_[rule.jsonKey] = Json::array();
        for (const auto& [word, entry] : setup_.ReservedWords()) {
            words.push_back({{rule.wordJsonKey, Utf8(word, Kept(kWords, word, model::kKeyText))},
                             {rule.meaningJsonKey,
                              Utf8(entry.Meaning(), Kept(kWords, word, model::kValueText))}});
        }
    }
    void operator()(const ConfigSection& rule) {
        Json& fields = json_[rule.jsonKey] = Json::array();
        for (const auto& [name, value] : setup_.ElementFields()) {
            fields.push_back(
                {{rule.nameJsonKey, Utf8(name, Kept(kFields, name, model::kKeyText))},
                 {rule.valueJsonKey, Utf8(value, Kept(kFields, name, model::kValueText))}});
        }
    }
    void operator()(const CommandSection& rule) {
        Json& commands = json_[rule.jsonKey] = Json::array();
        const model::CommandList& list = setup_.Commands(rule.list);
        for (std::size_t position = 0; position < list.size(); ++position) {
            commands.push_back(Utf8(
                list[position], setup_.Kept().Find(model::KeptTableOf(rule.list), position, 0)));
        }
    }
    template <typename Record, std::size_t N>
    void operator()(const RecordSection<Record, N>& rule) {
        Json& items = json_[rule.jsonKey] = Json::array();
        const model::RecordList<Record>& records = (setup_.*rule.records)();
        for (std::size_t entry = 0; entry < records.size(); ++entry) {
            const Record& record = records[entry];
            Json item = Json::object();
            for (std::size_t position : rule.exportOrder) {
                const ValueRule<Record>& value = rule.values[position];
                const std::string* kept = value.StoredAsText()
                                              ? setup_.Kept().Find(rule.kept, entry, value.text)
                                              : nullptr;
                if (IsNumber(value)) {
                    item[value.jsonKey] = NumberOf(record, value);
                } else {
                    item[value.jsonKey] = Utf8(record.texts[value.text], kept);
                }
            }
            items.push_back(std::move(item));
        }
    }

    Json Take() { return std::move(json_); }

  private:
    const std::string* Kept(model::KeptTable table, std::string_view key, std::size_t field) const {
        return setup_.Kept().Find(table, key, field);
    }

    const model::SetupDocument& setup_;
    Json json_ = Json::object();
};

// A text of the JSON form in the system code page, cut to `maxBytes`, with its UTF-8 text
// where the code page lacks characters. The library keeps texts as C strings, which would end
// at a NUL.
ReadText Local(const nlohmann::json& value, const std::string& what,
               std::size_t maxBytes = std::string::npos) {
    if (!value.is_string()) throw std::runtime_error(what + " must be a string");
    const std::string& text = value.get_ref<const std::string&>();
    if (text.find('\0') != std::string::npos)
        throw std::runtime_error(what + " holds a NUL character (\\u0000), which no text can hold");
    // JSON text is well-formed UTF-8: the parser refuses anything else.
    return ReadUtf8Text(text, maxBytes);
}

std::int32_t Integer(const nlohmann::json& value, const std::string& what) {
    if (!value.is_number_integer() || value.get<std::int64_t>() < INT32_MIN ||
        value.get<std::int64_t>() > INT32_MAX) {
        throw std::runtime_error(what + " must be a 32-bit integer");
    }
    return static_cast<std::int32_t>(value.get<std::int64_t>());
}

const nlohmann::json& Member(const nlohmann::json& object, const char* name) {
    static const nlohmann::json kMissing;
    if (!object.is_object())
        throw std::runtime_error(std::string("expected an object holding ") + name);
    const auto found = object.find(name);
    return found != object.end() ? *found : kMissing;
}

// An array member, or an empty array when the member is missing.
const nlohmann::json& Array(const nlohmann::json& object, const char* name) {
    static const nlohmann::json kEmpty = nlohmann::json::array();
    const nlohmann::json& member = Member(object, name);
    if (member.is_null()) return kEmpty;
    if (!member.is_array()) throw std::runtime_error(std::string(name) + " must be an array");
    return member;
}

// One element of a JSON array, read member by member; errors name the member as
// "files[2].srcPath".
struct JsonItem {
    const nlohmann::json& element;
    const char* array;
    std::size_t position;

    std::string Label() const { return std::string(array) + "[" + std::to_string(position) + "]"; }
    std::string Label(const char* member) const { return Label() + "." + member; }
    ReadText Text(const char* member, std::size_t maxBytes = std::string::npos) const {
        return Local(Member(element, member), Label(member), maxBytes);
    }
    std::int32_t Number(const char* member) const {
        return Integer(Member(element, member), Label(member));
    }
};

// Fills the description from each section of the JSON form.
class JsonReader {
  public:
    JsonReader(const nlohmann::json& json, model::SetupDocument& setup)
        : json_(json), setup_(setup) {}

    // Texts that the code page cannot hold are kept as the JSON has them, as a load keeps a
    // file's, so that the file built holds them.
    void operator()(const ReserveSection& rule) {
        ForEachItem(rule.jsonKey, [&](const JsonItem& item) {
            ReadText word = item.Text(rule.wordJsonKey);
            ReadText meaning = item.Text(rule.meaningJsonKey, kMeaningWidth - 1);
            const std::size_t before = setup_.ReservedWords().size();
            setup_.AddReservedWord(word.text, meaning.text, "");
            if (setup_.ReservedWords().size() != before)
                KeepLossyKeyed(setup_, model::KeptTable::ReservedWords, word, meaning);
        });
    }
    void operator()(const ConfigSection& rule) {
        ForEachItem(rule.jsonKey, [&](const JsonItem& item) {
            ReadText name = item.Text(rule.nameJsonKey);
            ReadText value = item.Text(rule.valueJsonKey);
            const std::size_t before = setup_.ElementFields().size();
            setup_.AddElementField(name.text, value.text);
            if (setup_.ElementFields().size() != before)
                KeepLossyKeyed(setup_, model::KeptTable::ElementFields, name, value);
        });
    }
    void operator()(const CommandSection& rule) {
        ForEachItem(rule.jsonKey, [&](const JsonItem& item) {
            ReadText command = Local(item.element, item.Label());
            const std::size_t count = setup_.AddCommand(rule.list, command.text);
            KeepLossy(setup_, model::KeptTableOf(rule.list), count - 1, 0, command);
        });
    }
    template <typename Record, std::size_t N>
    void operator()(const RecordSection<Record, N>& rule) {
        ForEachItem(rule.jsonKey, [&](const JsonItem& item) {
            // The text of each value as a file would hold it, by its position in the grammar; a
            // number as a save writes it. Read in the JSON's own order, so that the first member
            // at fault is named.
            std::array<ReadText, N> read;
            for (std::size_t position : rule.exportOrder) {
                const ValueRule<Record>& value = rule.values[position];
                read[position] =
                    IsNumber(value)
                        ? ReadText{NumberText(value.kind, item.Number(value.jsonKey)), {}, false}
                        : item.Text(value.jsonKey, Record::kWidths[value.text] - 1);
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
    template <typename Read>
    void ForEachItem(const char* name, Read&& read) {
        const nlohmann::json& array = Array(json_, name);
        for (std::size_t position = 0; position < array.size(); ++position)
            read(JsonItem{array[position], name, position});
    }

    const nlohmann::json& json_;
    model::SetupDocument& setup_;
};

// The table of each section, in the grammar's order.
class TableWriter {
  public:
    explicit TableWriter(const model::SetupDocument& setup) : setup_(setup) {}

    void operator()(const ReserveSection& rule) {
        Table& table = Add(rule.title, {rule.wordElement, rule.meaningElement});
        for (const auto& [word, entry] : setup_.ReservedWords()) {
            table.rows.push_back(
                {TableText(word, Kept(kWords, word, model::kKeyText)),
                 TableText(entry.Meaning(), Kept(kWords, word, model::kValueText))});
        }
    }
    void operator()(const ConfigSection& rule) {
        Table& table = Add(rule.title, {rule.nameColumn, rule.valueColumn});
        for (const auto& [name, value] : setup_.ElementFields()) {
            table.rows.push_back({TableText(name, Kept(kFields, name, model::kKeyText)),
                                  TableText(value, Kept(kFields, name, model::kValueText))});
        }
    }
    void operator()(const CommandSection& rule) {
        Table& table = Add(rule.title, {kCommandItem});
        const model::CommandList& list = setup_.Commands(rule.list);
        for (std::size_t position = 0; position < list.size(); ++position) {
            table.rows.push_back({TableText(
                list[position], setup_.Kept().Find(model::KeptTableOf(rule.list), position, 0))});
        }
    }
    template <typename Record, std::size_t N>
    void operator()(const RecordSection<Record, N>& rule) {
        std::vector<std::string> header;
        for (std::size_t position : rule.exportOrder)
            header.push_back(rule.values[position].element);
        Table& table = Add(rule.title, std::move(header));
        const model::RecordList<Record>& records = (setup_.*rule.records)();
        for (std::size_t entry = 0; entry < records.size(); ++entry) {
            const Record& record = records[entry];
            std::vector<std::string> row;
            for (std::size_t position : rule.exportOrder) {
                const ValueRule<Record>& value = rule.values[position];
                row.push_back(IsNumber(value)
                                  ? std::to_string(NumberOf(record, value))
                                  : TableText(record.texts[value.text],
                                              setup_.Kept().Find(rule.kept, entry, value.text)));
            }
            table.rows.push_back(std::move(row));
        }
    }

    std::vector<Table> Take() { return std::move(tables_); }

  private:
    const std::string* Kept(model::KeptTable table, std::string_view key, std::size_t field) const {
        return setup_.Kept().Find(table, key, field);
    }

    Table& Add(const char* title, std::vector<std::string> header) {
        tables_.push_back({title, std::move(header), {}});
        return tables_.back();
    }

    const model::SetupDocument& setup_;
    std::vector<Table> tables_;
};

}  // namespace

nlohmann::ordered_json ToJson(const model::SetupDocument& setup) {
    JsonWriter writer(setup);
    ForEachSection(writer);
    return writer.Take();
}

void FromJson(const nlohmann::json& json, model::SetupDocument& setup) {
    JsonReader reader(json, setup);
    ForEachSection(reader);
}

std::vector<Table> ToTables(const model::SetupDocument& setup) {
    TableWriter writer(setup);
    ForEachSection(writer);
    return writer.Take();
}

}  // namespace korvane::cli
