// korvane show: every section of a setup file, as tables or as one JSON document.
#include <algorithm>
#include <iostream>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/standard_output.h"
#include "cli/description_forms.h"
#include "cli/setup_files.h"
#include "setupfile/display_text.h"
#include "setupfile/display_width.h"

namespace korvane::cli {
namespace {

using Row = std::vector<std::string>;

// Prints the rows under `header`, each cell in its display form, so that no text of the file
// can act on the terminal, and padded to the columns it takes there.
void PrintTable(const std::string& title, const Row& header, std::vector<Row> rows) {
    std::cout << title << " (" << rows.size() << ")\n";
    for (Row& row : rows) {
        for (std::string& cell : row) cell = setupfile::DisplayForm(cell);
    }
    if (rows.empty()) {
        std::cout << "  (none)\n\n";
        return;
    }
    std::vector<std::size_t> widths(header.size());
    for (std::size_t column = 0; column < header.size(); ++column) {
        widths[column] = setupfile::DisplayWidth(header[column]);
        for (const Row& row : rows)
            widths[column] = std::max(widths[column], setupfile::DisplayWidth(row[column]));
    }
    auto print = [&](const Row& row) {
        std::cout << " ";
        for (std::size_t column = 0; column < row.size(); ++column) {
            std::cout << " " << row[column];
            if (column + 1 < row.size())
                std::cout << std::string(widths[column] - setupfile::DisplayWidth(row[column]) + 1,
                                         ' ');
        }
        std::cout << "\n";
    };
    print(header);
    for (const Row& row : rows) print(row);
    std::cout << "\n";
}

void PrintTables(const model::SetupDocument& setup) {
    for (Table& table : ToTables(setup))
        PrintTable(table.title, table.header, std::move(table.rows));
}

}  // namespace

int Show(const std::string& file, bool json) {
    std::string reason;
    model::SetupDocument setup;
    if (!LoadSetupFileExplained(file, setup, reason)) {
        std::cerr << "korvane: " << reason << "\n";
        return kFailure;
    }
    if (json) {
        PrintUtf8(ToJson(setup).dump(2) + "\n");
    } else {
        PrintTables(setup);
    }
    return kSuccess;
}

}  // namespace korvane::cli
