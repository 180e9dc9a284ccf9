// korvane format rewrites a setup file from what a load keeps, so a file that check finds fault
// with is refused, check's findings named, unless --force says to format it anyway.
#include <gtest/gtest.h>

#include <string>

#include "run_command.h"
#include "scratch_directory.h"

namespace {

using korvane::testing::CommandResult;
using korvane::testing::RunKorvane;
using korvane::testing::ScratchDirectory;

// A misspelt element, whose text a load drops, and a size that a load reads as 4.
const char* const kMisspelt = R"(<?xml version="1.0" encoding="UTF-8"?>
<SETUP>
  <FILES>
    <FILE>
      <SRCPATH>bin\hnsync.dll</SRCPATH>
      <FILNAME>hnsync.dll</FILNAME>
      <FILESIZE>4O960</FILESIZE>
    </FILE>
  </FILES>
</SETUP>
)";

TEST(FormatCommand, RefusesAFileThatALoadWouldChangeAndNamesWhatWouldBeLost) {
    ScratchDirectory directory;
    directory.Write("setup.xml", kMisspelt);
    for (const char* output : {"", "out.xml", "-"}) {
        CommandResult refused = *output == '\0' ? RunKorvane({"format", "setup.xml"})
                                                : RunKorvane({"format", "setup.xml", "-o", output});
        EXPECT_EQ(refused.status, 1) << output;
        EXPECT_EQ(refused.out, "") << output;
        EXPECT_EQ(refused.err,
                  "setup.xml:6: the element 'FILNAME' in FILE 0 is ignored\n"
                  "setup.xml:6: FILENAME of FILE 0 is empty\n"
                  "setup.xml:7: the number FILESIZE of FILE 0 is '4O960'; it reads as 4\n"
                  "korvane: setup.xml: a load would change or drop what is listed above, so "
                  "formatting would lose it; fix the file or give --force\n")
            << output;
        EXPECT_EQ(directory.Read("setup.xml"), kMisspelt) << output;
    }
    EXPECT_EQ(directory.Listing(), "setup.xml ");  // no out.xml
}

TEST(FormatCommand, ForceFormatsWhatALoadKeeps) {
    ScratchDirectory directory;
    directory.Write("setup.xml", kMisspelt);
    CommandResult forced = RunKorvane({"format", "--force", "setup.xml"});
    ASSERT_EQ(forced.status, 0) << forced.err;
    EXPECT_EQ(forced.err, "");
    const std::string formatted = directory.Read("setup.xml");
    EXPECT_NE(formatted.find("<SRCPATH>bin\\hnsync.dll</SRCPATH>"), std::string::npos) << formatted;
    EXPECT_NE(formatted.find("<FILENAME></FILENAME>"), std::string::npos) << formatted;
    EXPECT_NE(formatted.find("<FILESIZE>4</FILESIZE>"), std::string::npos) << formatted;
    // What is written now passes the check, and formats as it stands.
    EXPECT_EQ(RunKorvane({"check", "setup.xml"}).status, 0);
    ASSERT_EQ(RunKorvane({"format", "setup.xml"}).status, 0);
    EXPECT_EQ(directory.Read("setup.xml"), formatted);
}

TEST(FormatCommand, FormatsAFileThatCheckPassesAndWarnsOf) {
    ScratchDirectory directory;
    // A byte-order mark that contradicts the declaration is only a warning: nothing is lost.
    const std::string clean =
        "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>"
        "<SETUP><CONFIG><B>2</B><A>caf\xC3\xA9</A></CONFIG></SETUP>";
    directory.Write("setup.xml", clean);
    CommandResult checked = RunKorvane({"check", "setup.xml"});
    ASSERT_EQ(checked.status, 0) << checked.out;
    ASSERT_NE(checked.out.find("warning:"), std::string::npos) << checked.out;

    CommandResult formatted = RunKorvane({"format", "setup.xml"});
    ASSERT_EQ(formatted.status, 0) << formatted.err;
    EXPECT_EQ(formatted.err, "");
    EXPECT_NE(directory.Read("setup.xml").find("  <CONFIG>\n    <A>caf&#233;</A>\n    <B>2</B>\n"),
              std::string::npos)
        << directory.Read("setup.xml");
}

}  // namespace
