// korvane: the command-line front end of the Korvane library.
#include <CLI/CLI.hpp>

#include <exception>
#include <iostream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "cli/commands.h"
#include "cli/standard_output.h"
#include "korvane.h"
#include "platform/code_page.h"
#include "platform/command_line.h"

namespace {

using namespace korvane::cli;

// Splits WORD=TEXT at its first '='.
std::pair<std::string, std::string> SplitWord(const std::string& assignment) {
    const std::size_t equals = assignment.find('=');
    return {assignment.substr(0, equals), assignment.substr(equals + 1)};
}

// CLI11's usage line with the positional arguments that a subcommand takes unparsed, which
// CLI11 does not know of.
class UsageWithPositionals : public CLI::Formatter {
  public:
    explicit UsageWithPositionals(std::string positionals) : positionals_(std::move(positionals)) {}

    std::string make_usage(const CLI::App* app, std::string name) const override {
        std::string usage = CLI::Formatter::make_usage(app, std::move(name));
        const std::size_t end = usage.find_last_not_of('\n') + 1;
        usage.insert(end, " " + positionals_);
        return usage;
    }

  private:
    std::string positionals_;
};

// Setup paths look like "[APPDIR]bin", which CLI11 would split as a list; such subcommands
// take their positional arguments unparsed instead.
void TakePositionals(CLI::App* subcommand, const std::string& name) {
    subcommand->allow_extras();
    subcommand->formatter(std::make_shared<UsageWithPositionals>(name + "..."));
    subcommand->footer(name + "...: one or more, taken as they stand; after --, even those " +
                       "that start with -");
}

// Names a first argument that is no subcommand, where CLI11 would only say that one is
// required; false when there is none.
bool RefuseUnknownSubcommand(const CLI::App& app, int argc, char** argv) {
    if (argc < 2 || argv[1][0] == '-') return false;
    std::string known;
    for (const CLI::App* subcommand : app.get_subcommands({})) {
        if (subcommand->check_name(argv[1])) return false;
        known += (known.empty() ? "" : ", ") + subcommand->get_name();
    }
    std::cerr << "korvane: unknown subcommand '" << argv[1] << "' (the subcommands are " << known
              << ")\nRun with --help for more information.\n";
    return true;
}

// The words after the first "--" of a subcommand that takes its positional arguments
// unparsed, removed from the command line: CLI11 hands what follows "--" in a subcommand
// without positional options back to the main parser, which refuses it.
std::vector<std::string> TakeWordsAfterDashes(int& argc, char** argv) {
    if (argc < 2 || (std::string(argv[1]) != "expand" && std::string(argv[1]) != "version"))
        return {};
    for (int at = 2; at < argc; ++at) {
        if (std::string(argv[at]) == "--") {
            std::vector<std::string> words(argv + at + 1, argv + argc);
            argc = at;
            return words;
        }
    }
    return {};
}

// The positional arguments of `subcommand`, then those that followed "--".
std::vector<std::string> Positionals(CLI::App* subcommand, const std::string& name,
                                     const std::vector<std::string>& afterDashes) {
    std::vector<std::string> values = subcommand->remaining();
    for (const std::string& value : values) {
        if (value.size() > 1 && value[0] == '-') throw CLI::ExtrasError({value});
    }
    values.insert(values.end(), afterDashes.begin(), afterDashes.end());
    if (values.empty()) throw CLI::RequiredError(name);
    return values;
}

int Run(int argc, char** argv) {
    const std::vector<std::string> afterDashes = TakeWordsAfterDashes(argc, argv);
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
    show->footer("Every field of a setup file, with its type, its width in bytes and how the\n"
                 "library reads it: README.md, \"The fields of a setup file\"");

    auto* check =
        app.add_subcommand("check", "Report what loading a setup file would change or drop");
    check->add_option("FILE", file, "Setup file")->required();
    check->callback([&] { status = Check(file); });

    auto* format = app.add_subcommand("format", "Load and save a setup file, pretty-printed");
    format->add_option("FILE", file, "Setup file")->required();
    format->add_option("-o,--output", output,
                       "Write here instead of replacing FILE (- for standard output)");
    bool formatForce = false;
    format->add_flag(
        "--force", formatForce,
        "Format even a file that check finds fault with (a load drops what it reports)");
    format->callback([&] { status = Format(file, output, formatForce); });

    auto* build = app.add_subcommand(
        "build", "Build a setup file from the JSON form that show --json prints");
    build->add_option("DESCRIPTION", file, "JSON description")->required();
    build->add_option("-o,--output", output, "Setup file to write (- for standard output)")
        ->required();
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
        status = Expand(pairs, Positionals(expand, "PATH", afterDashes));
    });

    auto* version =
        app.add_subcommand("version", "Print the version text of each file and where it came from");
    TakePositionals(version, "FILE");
    version->callback([&] { status = Version(Positionals(version, "FILE", afterDashes)); });

    auto* folders = app.add_subcommand(
        "folders", "Print the special folders of this system and the temporary installation path");
    folders->callback([&] { status = Folders(); });

    bool xsd = false;
    auto* schema = app.add_subcommand(
        "schema", "Print the XML Schema of a setup file, or the JSON Schema of what build reads");
    auto* forms = schema->add_option_group("form", "The schema to print");
    forms->add_flag("--xsd", xsd, "The XML Schema of the setup file (setup.xsd)");
    forms->add_flag("--json", json,
                    "The JSON Schema of the JSON form, which build reads (setup.schema.json)");
    forms->require_option(1);
    schema->callback([&] { status = Schema(xsd ? SchemaForm::Xml : SchemaForm::Json); });

    StampOptions stampOptions;
    auto* stamp = app.add_subcommand(
        "stamp", "Set each file entry's size and version from its source file under a folder");
    stamp->add_option("SETUP", stampOptions.file, "Setup file")->required();
    stamp->add_option("--from", stampOptions.from, "Folder that holds the source files (SRCPATH)")
        ->required();
    stamp->add_option("-o,--output", stampOptions.output,
                      "Write here instead of replacing SETUP (- for standard output)");
    stamp->add_flag("--dry-run", stampOptions.dryRun, "Show the changes without writing");
    stamp->add_flag("--keep-going", stampOptions.keepGoing,
                    "Write what could be stamped even when sources are missing (still exit 1)");
    stamp->add_flag("--force", stampOptions.force,
                    "Stamp even a file that check finds fault with (a load drops what it reports)");
    stamp->add_flag("--follow-links", stampOptions.followLinks,
                    "Take a source file even where a link leads it out of the --from folder");
    stamp->add_flag("-v,--verbose", stampOptions.verbose,
                    "Show every change, and each version left as it was and why");
    stamp->callback([&] { status = Stamp(stampOptions); });

    std::string after;
    auto* diff = app.add_subcommand(
        "diff", "Compare two setup files section by section (exit 1 when they differ)");
    diff->add_option("A", file, "The earlier setup file")->required();
    diff->add_option("B", after, "The later setup file")->required();
    diff->add_flag("--json", json, "Print the differences as one JSON document");
    diff->callback([&] { status = Diff(file, after, json); });

    if (RefuseUnknownSubcommand(app, argc, argv)) return kUsageError;
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

}  // namespace

// argv holds the arguments in the ANSI code page on Windows (the C runtime converts the command
// line), the form in which the library takes texts and file names, as its exports do; an
// argument that the code page cannot hold is refused rather than used with '?' in it.
int main(int argc, char** argv) {
    PrepareStandardOutput();
    if (const int position = korvane::platform::FirstArgumentNotWhole()) {
        std::cerr << "korvane: argument " << position << " (" << argv[position]
                  << ") holds a character that the code page "
                  << korvane::platform::ActiveCodePage()
                  << " lacks; the library takes texts and file names in that code page\n";
        return kUsageError;
    }
    int status = kFailure;
    try {
        status = Run(argc, argv);
    } catch (const std::exception& error) {
        // Whatever the commands did not handle is still reported, never left to abort.
        std::cerr << "korvane: " << error.what() << "\n";
    }
    return FinishStandardOutput(status);
}
