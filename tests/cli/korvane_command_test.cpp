// End-to-end tests of the korvane command on files.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <utility>

#include "pe_fixtures.h"
#include "run_command.h"
#include "scratch_directory.h"

namespace {

using korvane::testing::CommandResult;
using korvane::testing::RunKorvane;
using korvane::testing::ScratchDirectory;

const std::string kExample = KORVANE_EXAMPLE_SETUP;

// A description with every section, non-ASCII text and markup characters, in the exact form
// that show --json prints.
const char* const kEverySection = R"({
  "reservedWords": [
    {
      "word": "[APPDIR]",
      "meaning": "Application <folder> & \"more\""
    },
    {
      "word": "[한글]",
      "meaning": "한글 meaning"
    }
  ],
  "config": [
    {
      "name": "PRODUCT",
      "value": "Sample & Co"
    },
    {
      "name": "이름",
      "value": "값 é 😀"
    }
  ],
  "files": [
    {
      "srcPath": "bin\\sample.exe",
      "fileName": "sample.exe",
      "folder": "[APPDIR]",
      "version": "1.0.0.1",
      "targetOs": "ALL",
      "shortcut": "DESKTOP",
      "displayName": "샘플",
      "iconIndex": -1,
      "selfReg": 1,
      "overwrite": 2,
      "fileSize": 2147483647,
      "realTime": 0,
      "reboot": 1
    }
  ],
  "registry": [
    {
      "regPath": "Software\\Sample",
      "key": "Path",
      "type": -2147483648,
      "value": "[APPDIR]",
      "action": 3
    }
  ],
  "preKill": [
    {
      "className": "SampleWindow",
      "title": " "
    }
  ],
  "upKill": [],
  "preExecute": [
    "[APPDIR]prepare.exe /q",
    ""
  ],
  "postExecute": [
    "cmd /c \"echo <done>\""
  ],
  "updateExecute": [],
  "deleteExecute": [
    "del *.tmp"
  ]
}
)";

TEST(Command, ConventionalOptionsAndUsageErrors) {
    CommandResult version = RunKorvane({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "korvane 0.1.0\n");
    for (const char* subcommand :
         {"show", "check", "format", "build", "expand", "version", "folders"}) {
        CommandResult help = RunKorvane({subcommand, "--help"});
        EXPECT_EQ(help.status, 0) << subcommand;
        EXPECT_NE(help.out.find(std::string("korvane ") + subcommand), std::string::npos)
            << help.out;
    }
    EXPECT_EQ(RunKorvane({}).status, 2);
    // An unknown subcommand is named, not taken for a missing one.
    CommandResult unknown = RunKorvane({"frobnicate", "x"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_EQ(unknown.err.rfind("korvane: unknown subcommand 'frobnicate' (the subcommands are "
                                "show, check, ",
                                0),
              0u)
        << unknown.err;
    EXPECT_NE(unknown.err.find("\nRun with --help for more information.\n"), std::string::npos);
    // Subcommands that take their positional arguments unparsed still show them in their usage.
    for (const auto& [subcommand, usage] :
         {std::pair{"expand", "korvane expand [OPTIONS] PATH...\n"},
          std::pair{"version", "korvane version [OPTIONS] FILE...\n"}}) {
        CommandResult help = RunKorvane({subcommand, "--help"});
        EXPECT_NE(help.out.find(usage), std::string::npos) << help.out;
    }
    EXPECT_EQ(RunKorvane({"show"}).status, 2);
    EXPECT_EQ(RunKorvane({"show", kExample, "--bogus"}).status, 2);
    EXPECT_EQ(RunKorvane({"build", "description.json"}).status, 2);  // no -o
    EXPECT_EQ(RunKorvane({"expand", "--word", "no-equals", "path"}).status, 2);
}

TEST(Command, ShowPrintsEverySection) {
    CommandResult shown = RunKorvane({"show", kExample});
    ASSERT_EQ(shown.status, 0) << shown.err;
    for (const char* text :
         {"Reserved words (3)", "[COMMONAPPDATA]", "Configuration (5)", "Harbor Notes", "Files (4)",
          "hnprint.sys", "Registry values (3)", "SyncInterval",
          "Processes to stop before installing (1)", "Processes to stop before updating (2)",
          "HNSyncTray", "Commands on removal (1)", "/unregister"}) {
        EXPECT_NE(shown.out.find(text), std::string::npos) << text;
    }
    EXPECT_EQ(shown.err, "");
}

TEST(Command, LoadFailuresSayWhyAndWhere) {
    ScratchDirectory directory;
    CommandResult missing = RunKorvane({"show", "missing.xml"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "korvane: missing.xml: cannot read: No such file or directory\n");
    directory.Write("broken.xml", "<SETUP>\n  <FILES>\n</SETUP>\n");
    CommandResult broken = RunKorvane({"show", "broken.xml"});
    EXPECT_EQ(broken.status, 1);
    EXPECT_EQ(broken.err.rfind("korvane: broken.xml:3:", 0), 0u) << broken.err;
    EXPECT_NE(broken.err.find("not well-formed XML"), std::string::npos);
    EXPECT_EQ(RunKorvane({"format", "broken.xml"}).status, 1);
    EXPECT_EQ(directory.Read("broken.xml"), "<SETUP>\n  <FILES>\n</SETUP>\n");
}

TEST(Command, JsonRoundTripIsExact) {
    ScratchDirectory directory;
    // The bundled example: file -> JSON -> file -> JSON.
    CommandResult first = RunKorvane({"show", "--json", kExample});
    ASSERT_EQ(first.status, 0) << first.err;
    directory.Write("example.json", first.out);
    ASSERT_EQ(RunKorvane({"build", "example.json", "-o", "example.xml"}).status, 0);
    EXPECT_EQ(RunKorvane({"show", "--json", "example.xml"}).out, first.out);

    // Every section, non-ASCII text and markup: JSON -> file -> JSON.
    directory.Write("every.json", kEverySection);
    CommandResult built = RunKorvane({"build", "every.json", "-o", "every.xml"});
    ASSERT_EQ(built.status, 0) << built.err;
    EXPECT_EQ(RunKorvane({"show", "--json", "every.xml"}).out, kEverySection);
}

TEST(Command, BuildRefusesBadDescriptions) {
    ScratchDirectory directory;
    directory.Write("broken.json", "{\"files\": [");
    directory.Write("wrong.json", "{\"files\": [{\"srcPath\": 7}]}");
    directory.Write("badname.json", "{\"config\": [{\"name\": \"1bad\", \"value\": \"x\"}]}");
    for (const char* file : {"broken.json", "wrong.json", "badname.json", "missing.json"}) {
        CommandResult result = RunKorvane({"build", file, "-o", "out.xml"});
        EXPECT_EQ(result.status, 1) << file;
        EXPECT_NE(result.err.find(file), std::string::npos) << result.err;
    }
    EXPECT_FALSE(directory.Exists("out.xml"));
}

TEST(Command, BuildRefusesTextsWithNulAndNamesWhere) {
    ScratchDirectory directory;
    const auto file = [](const std::string& folder) {
        return R"({"srcPath": "a", "fileName": "b", "folder": ")" + folder +
               R"(", "version": "", "targetOs": "", "shortcut": "", "displayName": "",
                  "iconIndex": 0, "selfReg": 0, "overwrite": 0, "fileSize": 0, "realTime": 0,
                  "reboot": 0})";
    };
    const std::pair<const char*, std::string> cases[] = {
        {"preExecute[1]", R"({"preExecute": ["ok", "format c:\u0000 && echo harmless"]})"},
        {"files[1].folder", "{\"files\": [" + file("c") + ", " + file("x\\u0000") + "]}"},
        {"config[0].name", R"({"config": [{"name": "A\u0000B", "value": "v"}]})"},
        {"reservedWords[0].meaning",
         R"({"reservedWords": [{"word": "[A]", "meaning": "\u0000"}]})"},
    };
    for (const auto& [item, json] : cases) {
        directory.Write("nul.json", json);
        CommandResult result = RunKorvane({"build", "nul.json", "-o", "out.xml"});
        EXPECT_EQ(result.status, 1) << item;
        EXPECT_EQ(result.err, "korvane: nul.json: " + std::string(item) +
                                  " holds a NUL character (\\u0000), which no text can hold\n");
        EXPECT_FALSE(directory.Exists("out.xml")) << item;
    }
}

TEST(Command, BuildRefusesATextNoLoadWouldReadAndNamesIt) {
    ScratchDirectory directory;
    directory.Write("long.json",
                    R"({"preExecute": ["short", ")" + std::string(10000001, 'x') + R"("]})");
    directory.Write("out.xml", "the old file");
    CommandResult result = RunKorvane({"build", "long.json", "-o", "out.xml"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err,
              "korvane: long.json: preExecute[1] holds 10000001 bytes; a load keeps 2047\n");
    EXPECT_EQ(directory.Read("out.xml"), "the old file");
}

TEST(Command, FormatLeavesTheCurrentDirectoryAsItWas) {
    ScratchDirectory directory(false);
    directory.Write("temp.xml", "the user's own temp.xml");
    directory.Write("setup.xml", "<SETUP><CONFIG><B>2</B><A>1</A></CONFIG></SETUP>");
    ASSERT_EQ(RunKorvane({"format", "setup.xml", "-o", "pretty.xml"}).status, 0);
    ASSERT_EQ(RunKorvane({"format", "setup.xml"}).status, 0);
    EXPECT_EQ(directory.Read("setup.xml"), directory.Read("pretty.xml"));
    EXPECT_NE(directory.Read("setup.xml").find("  <CONFIG>\n    <A>1</A>\n    <B>2</B>\n"),
              std::string::npos);
    EXPECT_EQ(directory.Read("temp.xml"), "the user's own temp.xml");
    EXPECT_EQ(directory.Listing(), "pretty.xml setup.xml temp.xml ");

    CommandResult failed = RunKorvane({"format", "setup.xml", "-o", "no/such/dir/out.xml"});
    EXPECT_EQ(failed.status, 1);
    EXPECT_NE(failed.err.find("writing the file failed: No such file or directory"),
              std::string::npos)
        << failed.err;
    // The failed step is named, not guessed at.
    failed = RunKorvane({"format", "setup.xml", "-o", "/dev/null"});
    EXPECT_EQ(failed.status, 1);
    EXPECT_EQ(failed.err,
              "korvane: /dev/null: cannot write: writing the file failed: not a regular file\n");
}

TEST(Command, ExpandAppliesTheGivenWords) {
    CommandResult expanded =
        RunKorvane({"expand", "--word", "[APPDIR]=/opt/app/", "--word", "[DATA]=[APPDIR]data/",
                    "[APPDIR]bin/run", "[DATA]x", "plain"});
    EXPECT_EQ(expanded.status, 0);
    // Words apply in byte order: [APPDIR] before [DATA], so [DATA]'s expansion is not expanded
    // again.
    EXPECT_EQ(expanded.out, "/opt/app/bin/run\n[APPDIR]data/x\nplain\n");
}

TEST(Command, VersionSaysWhereEachTextCameFrom) {
    ScratchDirectory directory;
    const std::string plain = directory.Write("notes.txt", "not a Windows file");
    // 5 March 2007, 14:09:03 UTC.
    struct timespec times[2] = {{1173103743, 0}, {1173103743, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, plain.c_str(), times, 0), 0);

    CommandResult result =
        RunKorvane({"version", korvane::testing::PeFixturePath("version-1001.dll"), "notes.txt"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, korvane::testing::PeFixturePath("version-1001.dll") +
                              ": 1.0.0.1 (from the version resource)\n"
                              "notes.txt: T.20070305.140903.0 (from the time stamp)\n");
    CommandResult missing = RunKorvane({"version", "missing.dll", "."});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err,
              "korvane: missing.dll: no such file\n"
              "korvane: .: a folder, not a file\n");
    EXPECT_EQ(RunKorvane({"version"}).status, 2);
}

TEST(Command, FoldersListsEveryKind) {
    CommandResult result = RunKorvane({"folders"});
    EXPECT_EQ(result.status, 0);
    for (const char* text :
         {"system folder", "application data", "temporary installation path: "}) {
        EXPECT_NE(result.out.find(text), std::string::npos) << result.out;
    }
}

}  // namespace
