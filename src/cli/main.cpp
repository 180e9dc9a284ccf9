// korvane: the command-line front end of the Korvane library.
#include <CLI/CLI.hpp>

#include <iostream>
#include <string>
#include <utility>
#include <vector>

#include "cli/commands.h"
#include "korvane.h"

namespace {

using namespace korvane::cli;

// Splits WORD=TEXT at its first '='.
std::pair<std::string, std::string> SplitWord(const std::string& assignment) {
    const std::size_t equals = assignment.find('=');
    return {assignment.substr(0, equals), assignment.substr(equals + 1)};
}

// Setup paths look like "[APPDIR]bin", which CLI11 would split as a list; such subcommands
// take their positional arguments unparsed instead.
void TakePositionals(CLI::App* subcommand, const std::string& name) {
    subcommand->allow_extras();
    subcommand->footer(name + "...: one or more, taken as they stand");
}

std::vector<std::string> Positionals(CLI::App* subcommand, const std::string& name) {
    std::vector<std::string> values = subcommand->remaining();
    if (values.empty()) throw CLI::RequiredError(name);
    for (const std::string& value : values) {
        if (value.size() > 1 && value[0] == '-' && value != "--") throw CLI::ExtrasError({value});
    }
    return values;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"korvane: read, check, write and build setup description files"};
    app.set_version_flag("--version", "korvane " KORVANE_VERSION);
    app.require_subcommand(1);
    int status = kSuccess;

    std::string file, output;
    bool json = false;
    auto* show = app.add_subcommand("show", "Print every section of a setup file");
    show->add_option("FILE", file, "Setup file")->required();
    show->add_flag("--json", json, "Print the whole description as one JSON document");
    show->callback([&] { status = Show(file, json); });

    auto* check =
        app.add_subcommand("check", "Report what loading a setup file would change or drop");
    check->add_option("FILE", file, "Setup file")->required();
    check->callback([&] { status = Check(file); });

    auto* format = app.add_subcommand("format", "Load and save a setup file, pretty-printed");
    format->add_option("FILE", file, "Setup file")->required();
    format->add_option("-o,--output", output, "Write here instead of replacing FILE");
    format->callback([&] { status = Format(file, output); });

    auto* build = app.add_subcommand(
        "build", "Build a setup file from the JSON form that show --json prints");
    build->add_option("DESCRIPTION", file, "JSON description")->required();
    build->add_option("-o,--output", output, "Setup file to write")->required();
    build->callback([&] { status = Build(file, output); });

    std::vector<std::string> words;
    auto* expand = app.add_subcommand("expand", "Print each path with reserved words expanded");
    // One value per occurrence, taken as it stands (no splitting of "[...]" lists).
    expand
        ->add_option("--word", words,
                     "A reserved word and its expansion, as WORD=TEXT (repeatable)")
        ->allow_extra_args(false)
        ->check([](const std::string& value) {
            return value.find('=') == std::string::npos ? std::string("expected WORD=TEXT")
                                                        : std::string();
        });
    TakePositionals(expand, "PATH");
    expand->callback([&] {
        std::vector<std::pair<std::string, std::string>> pairs;
        for (const std::string& word : words) pairs.push_back(SplitWord(word));
        status = Expand(pairs, Positionals(expand, "PATH"));
    });

    auto* version =
        app.add_subcommand("version", "Print the version text of each file and where it came from");
    TakePositionals(version, "FILE");
    version->callback([&] { status = Version(Positionals(version, "FILE")); });

    auto* folders = app.add_subcommand(
        "folders", "Print the special folders of this system and the temporary installation path");
    folders->callback([&] { status = Folders(); });

    try {
        app.parse(argc, argv);
    } catch (const CLI::Success& success) {  // --help, --version
        return app.exit(success);
    } catch (const CLI::ParseError& error) {
        app.exit(error);
        return kUsageError;
    }
    return status;
}
