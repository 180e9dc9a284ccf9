// End-to-end tests of the korvane command at its edges: output that cannot be written, paths
// that look like options, standard output as the saved file, and an unusable temporary or
// current directory.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "pe_fixtures.h"
#include "run_command.h"
#include "scratch_directory.h"

namespace {

using korvane::testing::CommandResult;
using korvane::testing::CommandSettings;
using korvane::testing::RunKorvane;
using korvane::testing::ScratchDirectory;

const std::string kExample = KORVANE_EXAMPLE_SETUP;
const std::string kVersionFixture = korvane::testing::PeFixturePath("version-1001.dll");

// A run ended by a signal (an uncaught exception aborts) has status -1 here.
bool EndedNormally(const CommandResult& result) {
    return result.status == 0 || result.status == 1;
}

TEST(CommandOutput, AFailedWriteToStandardOutputIsAFailure) {
    if (access("/dev/full", W_OK) != 0) GTEST_SKIP() << "this system has no /dev/full";
    ScratchDirectory directory;
    directory.Write("finding.xml", "<SETUP><EXTRA/></SETUP>");  // check prints one finding
    const std::vector<std::vector<std::string>> runs = {
        {"show", kExample},
        {"show", "--json", kExample},
        {"check", "finding.xml"},
        {"expand", "[A]b"},
        {"version", kVersionFixture},
        {"folders"},
        {"--help"},
        {"show", "--help"},
        {"--version"},
        {"format", kExample, "-o", "-"},
        {"schema", "--xsd"},
        {"schema", "--json"},
    };
    for (const auto& arguments : runs) {
        CommandResult result = RunKorvane(arguments, {{}, "/dev/full"});
        EXPECT_EQ(result.status, 1) << arguments[0] << " " << arguments[1 % arguments.size()];
        EXPECT_NE(result.err.find("korvane: cannot write to standard output"), std::string::npos)
            << result.err;
    }
}

TEST(CommandArguments, PathsThatStartWithADashFollowTheDoubleDash) {
    ScratchDirectory directory;
    CommandResult expanded =
        RunKorvane({"expand", "--word", "[A]=/opt/", "[A]x", "--", "-a", "--word", "[A]y", "--"});
    EXPECT_EQ(expanded.status, 0) << expanded.err;
    EXPECT_EQ(expanded.out, "/opt/x\n-a\n--word\n/opt/y\n--\n");
    EXPECT_EQ(RunKorvane({"expand", "--", "-"}).out, "-\n");
    EXPECT_EQ(RunKorvane({"expand", "-a"}).status, 2);  // before "--" it is an unknown option
    EXPECT_EQ(RunKorvane({"expand", "--"}).status, 2);  // no path at all

    directory.Write("-f", "not a Windows file");
    CommandResult version = RunKorvane({"version", "--", "-f"});
    EXPECT_EQ(version.status, 0) << version.err;
    EXPECT_EQ(version.out.rfind("-f: T.", 0), 0u) << version.out;

    std::filesystem::copy_file(kExample, directory.path() / "-setup.xml");
    EXPECT_EQ(RunKorvane({"show", "--", "-setup.xml"}).status, 0);
}

TEST(CommandArguments, DashOutputWritesTheSavedFileToStandardOutput) {
    ScratchDirectory directory(false);
    const std::string original = "<SETUP><CONFIG><B>2</B><A>1</A></CONFIG></SETUP>";
    directory.Write("setup.xml", original);
    ASSERT_EQ(RunKorvane({"format", "setup.xml", "-o", "pretty.xml"}).status, 0);
    CommandResult formatted = RunKorvane({"format", "setup.xml", "-o", "-"});
    EXPECT_EQ(formatted.status, 0) << formatted.err;
    EXPECT_EQ(formatted.out, directory.Read("pretty.xml"));
    EXPECT_EQ(directory.Read("setup.xml"), original);

    directory.Write("setup.json", RunKorvane({"show", "--json", "setup.xml"}).out);
    CommandResult built = RunKorvane({"build", "setup.json", "-o", "-"});
    EXPECT_EQ(built.status, 0) << built.err;
    EXPECT_EQ(built.out, directory.Read("pretty.xml"));
    EXPECT_EQ(directory.Listing(), "pretty.xml setup.json setup.xml ");
}

TEST(CommandEnvironment, AnUnusableTemporaryDirectoryIsReported) {
    ScratchDirectory directory;
    const std::string notADirectory = directory.Write("plain", "a file");
    directory.Write("setup.json", "{}");
    for (const std::string& temporary : {directory.path().string() + "/missing", notADirectory}) {
        const CommandSettings settings{{{"TMPDIR", temporary}}, ""};
        for (const auto& arguments : std::vector<std::vector<std::string>>{
                 {"format", kExample, "-o", "out.xml"}, {"build", "setup.json", "-o", "-"}}) {
            CommandResult result = RunKorvane(arguments, settings);
            EXPECT_EQ(result.status, 1) << temporary;
            EXPECT_NE(result.err.find("no usable temporary directory (see TMPDIR)"),
                      std::string::npos)
                << result.err;
        }
        EXPECT_TRUE(EndedNormally(RunKorvane({"folders"}, settings)));
    }
    EXPECT_FALSE(directory.Exists("out.xml"));
}

TEST(CommandEnvironment, ARemovedCurrentDirectoryIsNoAbort) {
    ScratchDirectory directory;
    const std::filesystem::path gone = directory.path() / "gone";
    std::filesystem::create_directory(gone);
    std::filesystem::current_path(gone);
    std::filesystem::remove(gone);

    // Absolute paths still work; a relative one has nothing to be relative to.
    const std::string output = (directory.path() / "out.xml").string();
    CommandResult absolute = RunKorvane({"format", kExample, "-o", output});
    CommandResult relative = RunKorvane({"format", kExample, "-o", "out.xml"});
    std::vector<CommandResult> others;
    for (const auto& arguments : std::vector<std::vector<std::string>>{{"show", kExample},
                                                                       {"check", kExample},
                                                                       {"show", "setup.xml"},
                                                                       {"expand", "[A]b"},
                                                                       {"version", kVersionFixture},
                                                                       {"folders"}}) {
        others.push_back(RunKorvane(arguments));
    }
    std::filesystem::current_path(directory.path());

    EXPECT_EQ(absolute.status, 0) << absolute.err;
    EXPECT_TRUE(directory.Exists("out.xml"));
    EXPECT_EQ(relative.status, 1);
    EXPECT_NE(relative.err.find("out.xml: cannot write: the current directory is unavailable"),
              std::string::npos)
        << relative.err;
    for (const CommandResult& result : others) EXPECT_TRUE(EndedNormally(result)) << result.err;
}

}  // namespace
