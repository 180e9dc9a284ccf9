#include "cli/description_forms.h"

#include "setupfile/display_text.h"
#include "model/decimal.h"
#include "platform/code_page.h"
#include "setupfile/grammar.h"

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

std::vector<Table> ToTables(const model::SetupDocument& setup) {
    TableWriter writer(setup);
    ForEachSection(writer);
    return writer.Take();
}

}  // namespace korvane::cli
