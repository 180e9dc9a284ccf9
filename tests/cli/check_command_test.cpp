// korvane check: a clean file reports nothing; a file seeded with every problem reports each
// one on its line.
#include <gtest/gtest.h>

#include <string>

#include "run_command.h"
#include "scratch_directory.h"

namespace {

using korvane::testing::CommandResult;
using korvane::testing::RunKorvane;
using korvane::testing::ScratchDirectory;

TEST(CheckCommand, CleanFileReportsNothing) {
    CommandResult result = RunKorvane({"check", KORVANE_EXAMPLE_SETUP});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "");
}

TEST(CheckCommand, ReportsEachProblemOnItsLine) {
    ScratchDirectory directory;
    directory.Write("seeded.xml", R"(<?xml version="1.0"?>
<INSTALL>
  <!-- a comment -->
  <EXTRA/>
  <RESERVE>
    <WORD><SHORT>W</SHORT><MEAN>one</MEAN></WORD>
    <WORD><SHORT>W</SHORT><MEAN>two</MEAN></WORD>
  </RESERVE>
  <RESERVE/>
  <CONFIG>
    <NAME>a</NAME>
    <NAME>b</NAME>
    <a:b xmlns:a="urn:x">x</a:b>
    <LONG>)" + std::string(1100, 'x') +
                                      R"(</LONG>
  </CONFIG>
  <FILES>
    <FILE>
      <SRCPATH>p</SRCPATH><SRCPATH>q</SRCPATH>
      <SHORTCUT>0123456789</SHORTCUT>
      <SELFREG>true</SELFREG>
      <ICONINDEX> 12</ICONINDEX>
      <COLOR>red</COLOR>
    </FILE>
    <ITEM/>
  </FILES>
  <PREEXECUTE><?pi x?><COMMAND>a<b/>c</COMMAND></PREEXECUTE>
</INSTALL>
)");
    CommandResult result = RunKorvane({"check", "seeded.xml"});
    EXPECT_EQ(result.status, 1);
    for (const char* expected : {
             "seeded.xml:2: the root element 'INSTALL' is read as SETUP",
             "seeded.xml:3: a comment in the root element is ignored",
             "seeded.xml:4: the element 'EXTRA' is ignored",
             "seeded.xml:7: a later duplicate of the reserved word 'W' is dropped",
             "seeded.xml:9: a second RESERVE section is ignored",
             "seeded.xml:12: a later duplicate of the configuration field 'NAME' is dropped",
             "seeded.xml:13: the configuration name 'a:b' cannot be saved",
             "seeded.xml:14: LONG holds 1100 bytes; a load keeps 1023",
             "seeded.xml:18: a second SRCPATH in FILE 0 is ignored",
             "seeded.xml:19: SHORTCUT of FILE 0 holds 10 bytes; a load keeps 9",
             "seeded.xml:20: the flag SELFREG of FILE 0 is 'true'",
             "seeded.xml:21: the number ICONINDEX of FILE 0 is ' 12'; it reads as 12",
             "seeded.xml:22: the element 'COLOR' in FILE 0 is ignored",
             "seeded.xml:22: FILENAME, FOLDER, VERSION, TARGETOS, DISPLAYNAME, REALTIME, REBOOT, "
             "OVERWRITE and FILESIZE of FILE 0 are empty",
             "seeded.xml:24: the item 'ITEM' in FILES is read as FILE 1",
             "seeded.xml:26: 'pi' (a processing instruction) in PREEXECUTE is skipped",
             "seeded.xml:26: markup inside COMMAND 0 of PREEXECUTE is dropped",
         }) {
        EXPECT_NE(result.out.find(expected), std::string::npos) << expected << "\nin:\n"
                                                                << result.out;
    }
}

// A node that is no element but bears the name of a section or value hides it from a load: the
// check says so, where it once called the node merely ignored.
TEST(CheckCommand, ReportsWhatHidesASectionOrAValue) {
    ScratchDirectory directory;
    directory.Write("hidden.xml", R"(<SETUP>
  <?CONFIG x?>
  <CONFIG><A>a</A></CONFIG>
  <FILES><FILE><?SRCPATH?><SRCPATH>p</SRCPATH><FILENAME>f</FILENAME></FILE></FILES>
</SETUP>
)");
    CommandResult result = RunKorvane({"check", "hidden.xml"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out,
              "hidden.xml:2: 'CONFIG' (a processing instruction) hides the CONFIG section, which "
              "is not read\n"
              "hidden.xml:3: a second CONFIG section is ignored\n"
              "hidden.xml:4: 'SRCPATH' (a processing instruction) in FILE 0 hides the value "
              "SRCPATH, which reads as empty\n"
              "hidden.xml:4: a second SRCPATH in FILE 0 is ignored\n");
}

TEST(CheckCommand, ReportsCharactersThatCanDisguiseAValue) {
    ScratchDirectory directory;
    directory.Write("disguised.xml", R"(<SETUP>
  <CONFIG><TITLE>&#x202E;txt.exe</TITLE></CONFIG>
  <PREEXECUTE>
    <COMMAND>curl x|sh ;#&#13;notepad.exe&#13;readme.txt&#x85;</COMMAND>
    <COMMAND>tab&#9;only</COMMAND>
  </PREEXECUTE>
</SETUP>
)");
    CommandResult result = RunKorvane({"check", "disguised.xml"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out,
              "disguised.xml:2: TITLE holds characters that can disguise it on a screen: "
              "\\u{202E}\n"
              "disguised.xml:4: COMMAND 0 of PREEXECUTE holds characters that can disguise it on a "
              "screen: "
              "\\x0D \\u{0085}\n");
}

// XML names may hold characters that a screen does not show (U+200C, U+200D, U+061C); a
// message names an element as it shows a value, escaped.
TEST(CheckCommand, EscapesWhatANameCanHide) {
    ScratchDirectory directory;
    directory.Write("names.xml",
                    "<SE\u200DTUP>\n"
                    "  <FILES><FILE><SRCPATH>p</SRCPATH><FILE\u200CNAME>f</FILE\u200CNAME></FILE></FILES>\n"
                    "  <CONFIG><A\u061C>1</A\u061C><A\u061C>2</A\u061C></CONFIG>\n"
                    "</SE\u200DTUP>\n");
    CommandResult result = RunKorvane({"check", "names.xml"});
    EXPECT_EQ(result.status, 1);
    for (const char* expected :
         {"names.xml:1: the root element 'SE\\u{200D}TUP' is read as SETUP\n",
          "names.xml:2: the element 'FILE\\u{200C}NAME' in FILE 0 is ignored\n",
          "names.xml:3: a later duplicate of the configuration field 'A\\u{061C}' is dropped\n"}) {
        EXPECT_NE(result.out.find(expected), std::string::npos) << expected << "in:\n"
                                                                << result.out;
    }
}

// Entries are numbered from 0, as the exports number them, in each section of its own. An
// unknown element is reported with the value that the item then lacks, which reads as empty:
// the one it is a slip for (a letter left out, two letters swapped), or else every one missing.
TEST(CheckCommand, NamesEntriesByNumberAndTheValuesAMisspellingEmpties) {
    ScratchDirectory directory;
    std::string files;
    for (int i = 0; i < 3; ++i)
        files +=
            "    <FILE><SRCPATH>a</SRCPATH><FILENAME>a</FILENAME><FILESIZE>1</FILESIZE></FILE>\n";
    directory.Write("misspelt.xml", R"(<SETUP>
  <FILES>
)" + files + R"(    <FILE><SRCPATH>b</SRCPATH><FILNAME>b</FILNAME><FILESIZE>x</FILESIZE></FILE>
    <FILE><SRCPATH>c</SRCPATH><FILENAME>c</FILENAME><FILESIZE>2</FILESIZE><SIZE>3</SIZE></FILE>
  </FILES>
  <REGISTRYS><REGISTRY><REGPTH>k</REGPTH><ACTION>1</ACTION></REGISTRY></REGISTRYS>
  <UPKILLS><UPKILL><CLASS>c</CLASS></UPKILL><UPKILL><CLASS>d</CLASS><TITEL>t</TITEL></UPKILL></UPKILLS>
  <POSTEXECUTE><COMMAND>a</COMMAND><COMMAND>b<!-- c --></COMMAND></POSTEXECUTE>
</SETUP>
)");
    CommandResult result = RunKorvane({"check", "misspelt.xml"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out,
              "misspelt.xml:6: the element 'FILNAME' in FILE 3 is ignored\n"
              "misspelt.xml:6: FILENAME of FILE 3 is empty\n"
              "misspelt.xml:6: the number FILESIZE of FILE 3 is 'x'; it reads as 0\n"
              "misspelt.xml:7: the element 'SIZE' in FILE 4 is ignored\n"
              "misspelt.xml:7: FOLDER, VERSION, TARGETOS, SHORTCUT, DISPLAYNAME, ICONINDEX, "
              "SELFREG, REALTIME, REBOOT and OVERWRITE of FILE 4 are empty\n"
              "misspelt.xml:9: the element 'REGPTH' in REGISTRY 0 is ignored\n"
              "misspelt.xml:9: REGPATH of REGISTRY 0 is empty\n"
              "misspelt.xml:10: the element 'TITEL' in UPKILL 1 is ignored\n"
              "misspelt.xml:10: TITLE of UPKILL 1 is empty\n"
              "misspelt.xml:11: markup inside COMMAND 1 of POSTEXECUTE is dropped; only its text "
              "is kept\n");
}

// A byte-order mark decides the encoding over the declaration; the contradiction is reported,
// but does not fail the check, since such files load.
TEST(CheckCommand, WarnsOfAMarkThatContradictsTheDeclaration) {
    ScratchDirectory directory;
    directory.Write("marked.xml",
                    "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"euc-kr\"?>\n"
                    "<SETUP><CONFIG><NAME>\xEA\xB0\x80</NAME></CONFIG></SETUP>\n");
    CommandResult result = RunKorvane({"check", "marked.xml"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out,
              "marked.xml:1: warning: the byte-order mark says UTF-8, which the file is read as; "
              "its declaration says euc-kr\n");
}

// A file can be well-formed and orderly and still be refused as a whole: here one value
// references an entity of 10000 empty elements 3400 times, beyond what a load walks through.
TEST(CheckCommand, FailsOnEveryFileALoadRefuses) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "instrumented, the walks through 34 million nodes that this file takes last "
                    "minutes";
#endif
    ScratchDirectory directory;
    std::string entity, references;
    for (int i = 0; i < 10000; ++i) entity += "<x/>";
    for (int i = 0; i < 3400; ++i) references += "&e;";
    directory.Write("expanding.xml", "<!DOCTYPE SETUP [<!ENTITY e \"" + entity +
                                         "\">]>\n<SETUP><CONFIG><V>" + references +
                                         "</V></CONFIG></SETUP>\n");
    CommandResult result = RunKorvane({"check", "expanding.xml"});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.out.find("expanding.xml: expands beyond what can be read"), std::string::npos)
        << result.out;
}

TEST(CheckCommand, MalformedAndMissingFilesFail) {
    ScratchDirectory directory;
    directory.Write("broken.xml", "<SETUP>\n<FILES>\n</SETUP>");
    CommandResult broken = RunKorvane({"check", "broken.xml"});
    EXPECT_EQ(broken.status, 1);
    EXPECT_EQ(broken.out.rfind("broken.xml:3:", 0), 0u) << broken.out;
    EXPECT_EQ(RunKorvane({"check", "missing.xml"}).status, 1);
}

}  // namespace
