// korvane show: tables headed by the file's own element names, their columns lined up by the
// columns each text takes on a terminal, not by its characters.
#include <gtest/gtest.h>

#include <string>

#include "run_command.h"
#include "scratch_directory.h"

namespace {

using korvane::testing::CommandResult;
using korvane::testing::RunKorvane;
using korvane::testing::ScratchDirectory;

// A Hangul display name (two columns a syllable) and one with a combining mark (none), each
// followed by a column that must stay in line.
const char* const kWideAndCombining = R"(<SETUP>
  <RESERVE><WORD><SHORT>[APPDIR]</SHORT><MEAN>하버 노트</MEAN></WORD></RESERVE>
  <FILES>
    <FILE><SRCPATH>a.exe</SRCPATH><FILENAME>a.exe</FILENAME><DISPLAYNAME>하버 노트</DISPLAYNAME>
      <ICONINDEX>1</ICONINDEX><FILESIZE>10</FILESIZE></FILE>
    <FILE><SRCPATH>b.exe</SRCPATH><FILENAME>b.exe</FILENAME><DISPLAYNAME>Cafe&#x301; Noir</DISPLAYNAME>
      <ICONINDEX>22</ICONINDEX><FILESIZE>2000</FILESIZE></FILE>
    <FILE><SRCPATH>c.exe</SRCPATH><FILENAME>c.exe</FILENAME><DISPLAYNAME>plain</DISPLAYNAME>
      <ICONINDEX>3</ICONINDEX><FILESIZE>3</FILESIZE></FILE>
  </FILES>
  <REGISTRYS><REGISTRY><REGPATH>HKEY_CURRENT_USER\Software</REGPATH><KEY>k</KEY></REGISTRY></REGISTRYS>
  <UPKILLS><UPKILL><CLASS>한글창</CLASS><TITLE>t</TITLE></UPKILL></UPKILLS>
</SETUP>
)";

TEST(ShowTables, HeadersAreTheElementNamesAndWideTextsKeepColumnsInLine) {
    ScratchDirectory directory;
    directory.Write("wide.xml", kWideAndCombining);
    const CommandResult shown = RunKorvane({"show", "wide.xml"});
    ASSERT_EQ(shown.status, 0) << shown.err;
    for (const char* table : {
             "Reserved words (1)\n"
             "  SHORT     MEAN\n"
             "  [APPDIR]  하버 노트\n",
             "Files (3)\n"
             "  SRCPATH  FILENAME  FOLDER  VERSION  TARGETOS  SHORTCUT  DISPLAYNAME  ICONINDEX  "
             "SELFREG  OVERWRITE  FILESIZE  REALTIME  REBOOT\n"
             "  a.exe    a.exe                                          하버 노트    1          "
             "0        0          10        0         0\n"
             "  b.exe    b.exe                                          Cafe\xCC\x81 Noir    22    "
             "     "
             "0        0          2000      0         0\n"
             "  c.exe    c.exe                                          plain        3          "
             "0        0          3         0         0\n",
             "Registry values (1)\n"
             "  REGPATH                     KEY  TYPE  VALUE  ACTION\n"
             "  HKEY_CURRENT_USER\\Software  k    0            0\n",
             "Processes to stop before updating (1)\n"
             "  CLASS   TITLE\n"
             "  한글창  t\n",
         }) {
        EXPECT_NE(shown.out.find(table), std::string::npos) << table << "\nin:\n" << shown.out;
    }
}

}  // namespace
