// korvane show: every section of a setup file, as tables or as one JSON document.
#include <algorithm>
#include <iostream>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/description.h"
#include "cli/display_text.h"
#include "cli/setup_files.h"
#include "platform/code_page.h"

namespace korvane::cli {
namespace {

using Row = std::vector<std::string>;

// Width of a text on a terminal, counting characters rather than bytes.
std::size_t DisplayWidth(const std::string& text) {
    std::size_t width = 0;
    for (std::size_t at = 0; at < text.size();
         at += platform::CharLength(text.data() + at, text.size() - at)) {
        ++width;
    }
    return width;
}

// Prints the rows under `header`, each cell in its display form, so that no text of the file
// can act on the terminal.
void PrintTable(const std::string& title, const Row& header, std::vector<Row> rows) {
    std::cout << title << " (" << rows.size() << ")\n";
    for (Row& row : rows) {
        for (std::string& cell : row) cell = DisplayForm(cell);
    }
    if (rows.empty()) {
        std::cout << "  (none)\n\n";
        return;
    }
    std::vector<std::size_t> widths(header.size());
    for (std::size_t column = 0; column < header.size(); ++column) {
        widths[column] = DisplayWidth(header[column]);
        for (const Row& row : rows)
            widths[column] = std::max(widths[column], DisplayWidth(row[column]));
    }
    auto print = [&](const Row& row) {
        std::cout << " ";
        for (std::size_t column = 0; column < row.size(); ++column) {
            std::cout << " " << row[column];
            if (column + 1 < row.size())
                std::cout << std::string(widths[column] - DisplayWidth(row[column]) + 1, ' ');
        }
        std::cout << "\n";
    };
    print(header);
    for (const Row& row : rows) print(row);
    std::cout << "\n";
}

void PrintTables(const Description& d) {
    std::vector<Row> rows;
    for (const auto& w : d.words) rows.push_back({w.word, w.meaning});
    PrintTable("Reserved words", {"WORD", "MEANING"}, rows);

    rows.clear();
    for (const auto& f : d.fields) rows.push_back({f.name, f.value});
    PrintTable("Configuration", {"NAME", "VALUE"}, rows);

    rows.clear();
    for (const auto& f : d.files) {
        rows.push_back({f.srcPath, f.fileName, f.folder, f.version, f.targetOs, f.shortcut,
                        f.displayName, std::to_string(f.iconIndex), std::to_string(f.selfReg),
                        std::to_string(f.overwrite), std::to_string(f.fileSize),
                        std::to_string(f.realTime), std::to_string(f.reboot)});
    }
    PrintTable("Files",
               {"SOURCE", "NAME", "FOLDER", "VERSION", "OS", "SHORTCUT", "DISPLAY NAME", "ICON",
                "SELFREG", "OVERWRITE", "SIZE", "REALTIME", "REBOOT"},
               rows);

    rows.clear();
    for (const auto& r : d.registries) {
        rows.push_back(
            {r.regPath, r.key, std::to_string(r.type), r.value, std::to_string(r.action)});
    }
    PrintTable("Registry values", {"PATH", "KEY", "TYPE", "VALUE", "ACTION"}, rows);

    for (const auto& [title, processes] :
         {std::pair{"Processes to stop before installing", &d.preKills},
          std::pair{"Processes to stop before updating", &d.upKills}}) {
        rows.clear();
        for (const auto& p : *processes) rows.push_back({p.className, p.title});
        PrintTable(title, {"WINDOW CLASS", "WINDOW TITLE"}, rows);
    }

    const char* titles[] = {"Commands before installing", "Commands after installing",
                            "Commands on update", "Commands on removal"};
    for (std::size_t list = 0; list < d.commands.size(); ++list) {
        rows.clear();
        for (const auto& command : d.commands[list]) rows.push_back({command});
        PrintTable(titles[list], {"COMMAND"}, rows);
    }
}

}  // namespace

int Show(const std::string& file, bool json) {
    std::string reason;
    model::SetupDocument document;
    if (!LoadSetupFileExplained(file, document, reason)) {
        std::cerr << "korvane: " << reason << "\n";
        return kFailure;
    }
    const Description description = ReadDescription(document);
    if (json) {
        std::cout << ToJson(description).dump(2) << "\n";
    } else {
        PrintTables(description);
    }
    return kSuccess;
}

}  // namespace korvane::cli
