// The README's table of the fields of a setup file against the grammar the reader walks: every
// value appears, where it lives, with its type and its width, and the table holds nothing else.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "setupfile/grammar.h"

namespace korvane::setupfile {
namespace {

constexpr const char* kHeading = "## The fields of a setup file";

struct Row {
    int line = 0;
    std::string element, in, type, width;
    int matches = 0;
};

// A value as the table must show it. An empty element stands for the elements a section names
// freely (CONFIG's fields).
struct Field {
    std::string element, in, type;
    std::size_t width;
};

std::string Trim(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::vector<std::string> Cells(const std::string& line) {
    std::vector<std::string> cells;
    std::size_t start = 1;  // after the leading '|'
    for (std::size_t bar = line.find('|', start); bar != std::string::npos;
         bar = line.find('|', start)) {
        cells.push_back(Trim(line.substr(start, bar - start)));
        start = bar + 1;
    }
    return cells;
}

// The rows of the first table after the heading.
std::vector<Row> TableRows() {
    std::ifstream readme(KORVANE_README);
    std::vector<Row> rows;
    std::string line;
    int number = 0;
    bool underHeading = false, inTable = false;
    while (std::getline(readme, line)) {
        ++number;
        if (!underHeading) {
            underHeading = line == kHeading;
            continue;
        }
        if (line.rfind("|", 0) != 0) {
            if (inTable) break;
            continue;
        }
        const bool header = !inTable;
        inTable = true;
        if (header || line.rfind("|---", 0) == 0) continue;
        const std::vector<std::string> cells = Cells(line);
        Row row;
        row.line = number;
        if (cells.size() == 5) {
            row.element = cells[0];
            row.in = cells[1];
            row.type = cells[2];
            row.width = cells[3];
        }
        rows.push_back(row);
    }
    return rows;
}

std::string Code(const std::string& name) {
    return "`" + name + "`";
}

std::string TypeOf(ValueKind kind, bool numberKeptAsText) {
    switch (kind) {
        case ValueKind::Text:
            return "text";
        case ValueKind::Flag:
            return "flag";
        case ValueKind::Number:
            break;
    }
    return numberKeptAsText ? "number, kept as text" : "number";
}

// Every value of the grammar, with the width a load keeps: a text's capacity (terminator
// included), or the 4 bytes of a number held as one.
struct FieldsOf {
    std::vector<Field>& fields;

    void operator()(const ReserveSection& rule) const {
        const std::string in = std::string(rule.section) + "/" + rule.item;
        fields.push_back({Code(rule.wordElement), in, "text", rule.wordCapacity});
        fields.push_back({Code(rule.meaningElement), in, "text", rule.meaningCapacity});
    }
    void operator()(const ConfigSection& rule) const {
        fields.push_back({"", rule.section, "text", rule.valueCapacity});
    }
    template <typename Record, std::size_t N>
    void operator()(const RecordSection<Record, N>& rule) const {
        const std::string in = std::string(rule.section) + "/" + rule.item;
        for (const ValueRule<Record>& value : rule.values) {
            const bool keptAsText = value.StoredAsText();
            fields.push_back({Code(value.element), in,
                              TypeOf(value.kind, keptAsText && value.kind == ValueKind::Number),
                              keptAsText ? value.capacity : sizeof(std::int32_t)});
        }
    }
    void operator()(const CommandSection& rule) const {
        fields.push_back({Code(kCommandItem), rule.section, "text", kCommandCapacity});
    }
};

// True when the row's "In" cell names `in` among its comma-separated places.
bool Names(const Row& row, const std::string& in) {
    const std::string cell = ", " + row.in + ",";
    return cell.find(", " + Code(in) + ",") != std::string::npos;
}

TEST(ReadmeFieldTable, ShowsEveryValueOfTheGrammarWithItsTypeAndWidthAndNothingElse) {
    std::vector<Row> rows = TableRows();
    ASSERT_FALSE(rows.empty()) << "no table under \"" << kHeading << "\" in " << KORVANE_README;
    for (const Row& row : rows)
        EXPECT_FALSE(row.element.empty()) << "README.md:" << row.line << ": not five cells";

    std::vector<Field> fields;
    ForEachSection(FieldsOf{fields});
    for (const Field& field : fields) {
        const std::string what =
            (field.element.empty() ? "any element" : field.element) + " in " + field.in;
        Row* found = nullptr;
        for (Row& row : rows) {
            const bool element =
                field.element.empty() ? row.in == Code(field.in) : row.element == field.element;
            if (element && Names(row, field.in)) {
                EXPECT_EQ(found, nullptr) << what << " has two rows";
                found = &row;
            }
        }
        if (found == nullptr) {
            ADD_FAILURE() << what << " has no row";
            continue;
        }
        ++found->matches;
        EXPECT_EQ(found->type, field.type) << what << ", README.md:" << found->line;
        EXPECT_EQ(found->width, std::to_string(field.width))
            << what << ", README.md:" << found->line;
    }
    for (const Row& row : rows) {
        EXPECT_GT(row.matches, 0) << "README.md:" << row.line << ": " << row.element << " in "
                                  << row.in << " is no value of the grammar";
    }
}

}  // namespace
}  // namespace korvane::setupfile
