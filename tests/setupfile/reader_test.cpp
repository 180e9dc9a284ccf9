// What the reader accepts beyond what the writer produces.
#include <gtest/gtest.h>

#include <string>

#include "describe_setup.h"
#include "model/setup_document.h"
#include "scratch_directory.h"
#include "setup_file_io.h"

namespace korvane::setupfile {
namespace {

using model::CommandKind;
using model::SetupDocument;
using testing::DescribeSetup;
using testing::ScratchDirectory;

class Reader : public ::testing::Test {
  protected:
    // Loads `xml` into a fresh description and returns it described.
    std::string Read(const std::string& xml) {
        const std::string path = directory_.Write("input.xml", xml);
        EXPECT_EQ(LoadFile(setup_, path.c_str()), 1);
        return DescribeSetup(setup_);
    }

    ScratchDirectory directory_{false};
    SetupDocument setup_;
};

const char* const kWritten = R"(<?xml version="1.0" encoding="euc-kr"?>
<SETUP>
  <RESERVE><WORD><SHORT>[APPDIR]</SHORT><MEAN>Application folder</MEAN></WORD></RESERVE>
  <CONFIG><NAME>Sample</NAME><VERSION>1.0</VERSION></CONFIG>
  <FILES><FILE><SRCPATH>bin\sample.exe</SRCPATH><FILENAME>sample.exe</FILENAME>
    <FOLDER>[APPDIR]</FOLDER><VERSION>1.0.0.1</VERSION><TARGETOS></TARGETOS><SHORTCUT></SHORTCUT>
    <DISPLAYNAME>Sample</DISPLAYNAME><ICONINDEX>0</ICONINDEX><SELFREG>0</SELFREG>
    <REALTIME>0</REALTIME><REBOOT>1</REBOOT><OVERWRITE>1</OVERWRITE><FILESIZE>512</FILESIZE></FILE></FILES>
  <REGISTRYS><REGISTRY><REGPATH>Software\Sample</REGPATH><TYPE>1</TYPE><KEY>Path</KEY>
    <VALUE>[APPDIR]</VALUE><ACTION>0</ACTION></REGISTRY></REGISTRYS>
  <PREKILLS><PREKILL><CLASS>SampleWindowClass</CLASS><TITLE>Sample</TITLE></PREKILL></PREKILLS>
  <UPKILLS/>
  <PREEXECUTE><COMMAND>[APPDIR]\prepare.exe</COMMAND></PREEXECUTE>
  <POSTEXECUTE/><UPDATEEXECUTE/><DELETEEXECUTE/>
</SETUP>)";

const char* const kReordered = R"(<?xml version="1.0"?>
<INSTALL>
  <DELETEEXECUTE/><UPDATEEXECUTE/><POSTEXECUTE/>
  <PREEXECUTE><COMMAND>[APPDIR]\prepare.exe</COMMAND></PREEXECUTE>
  <UPKILLS/>
  <OTHER><FILE><SRCPATH>ignored</SRCPATH></FILE></OTHER>
  <PREKILLS><PREKILL><TITLE>Sample</TITLE><CLASS>SampleWindowClass</CLASS></PREKILL></PREKILLS>
  <REGISTRYS><REGISTRY><ACTION>0</ACTION><VALUE>[APPDIR]</VALUE><KEY>Path</KEY><TYPE>1</TYPE>
    <REGPATH>Software\Sample</REGPATH><EXTRA>x</EXTRA></REGISTRY></REGISTRYS>
  <FILES><ITEM><FILESIZE>512</FILESIZE><OVERWRITE>1</OVERWRITE><REBOOT>1</REBOOT>
    <REALTIME>0</REALTIME><SELFREG>0</SELFREG><ICONINDEX>0</ICONINDEX><DISPLAYNAME>Sample</DISPLAYNAME>
    <SHORTCUT/><TARGETOS/><VERSION>1.0.0.1</VERSION><FOLDER>[APPDIR]</FOLDER><FILENAME>sample.exe</FILENAME>
    <SRCPATH>bin\sample.exe</SRCPATH><SRCPATH>second one is ignored</SRCPATH></ITEM></FILES>
  <FILES><FILE><SRCPATH>a second FILES section is ignored</SRCPATH></FILE></FILES>
  <CONFIG><VERSION>1.0</VERSION><NAME>Sample</NAME><NAME>later duplicate</NAME></CONFIG>
  <RESERVE><WORD><MEAN>Application folder</MEAN><SHORT>[APPDIR]</SHORT></WORD>
    <WORD><SHORT>[APPDIR]</SHORT><MEAN>later duplicate</MEAN></WORD></RESERVE>
</INSTALL>)";

TEST_F(Reader, ReordersRenamesAndDuplicatesReadLikeTheWrittenForm) {
    const std::string written = Read(kWritten);
    EXPECT_EQ(Read(kReordered), written);
    EXPECT_NE(
        written.find("file[bin\\sample.exe|sample.exe|[APPDIR]|1.0.0.1|||Sample|0|0|1|512|0|1]"),
        std::string::npos)
        << written;
}

TEST_F(Reader, CommentsTextAndInstructionsInsideSectionsAreSkipped) {
    const std::string described = Read(R"(<SETUP>
      <CONFIG><!-- a comment --><?pi data?><A>x</A>stray text<B/><A>y</A></CONFIG>
      <PREKILLS><!--c--><PREKILL><CLASS>C</CLASS><TITLE>T</TITLE></PREKILL><?pi?></PREKILLS>
      <PREEXECUTE>text<COMMAND>one</COMMAND><!--c--><COMMAND/></PREEXECUTE>
    </SETUP>)");
    EXPECT_EQ(described, "field[A]=[x]\nfield[B]=[]\nprekill[C|T]\npre[one]\npre[]\n");
}

TEST_F(Reader, MissingValuesReadAsEmptyOrZero) {
    const std::string described = Read(R"(<SETUP>
      <FILES><FILE/><FILE><ICONINDEX>4</ICONINDEX></FILE><FILE><SELFREG>1</SELFREG></FILE></FILES>
      <REGISTRYS><REGISTRY><ACTION>7</ACTION></REGISTRY><REGISTRY><TYPE>12abc</TYPE></REGISTRY></REGISTRYS>
      <RESERVE><WORD><SHORT>W</SHORT></WORD><WORD><MEAN>no short</MEAN></WORD></RESERVE>
      <UPKILLS><UPKILL><TITLE>only title</TITLE></UPKILL></UPKILLS>
    </SETUP>)");
    // Each missing number is 0, never a value left over from an earlier item.
    EXPECT_EQ(described,
              "word[]=[no short]\nword[W]=[]\n"
              "file[|||||||0|0|0|0|0|0]\nfile[|||||||4|0|0|0|0|0]\nfile[|||||||0|1|0|0|0|0]\n"
              "registry[||||7]\nregistry[|12abc|||0]\n"
              "upkill[|only title]\n");
}

TEST_F(Reader, NumbersAndFlagsFollowTheirTextRules) {
    Read(R"(<SETUP><FILES>
      <FILE><ICONINDEX>-3</ICONINDEX><SELFREG>true</SELFREG><REALTIME> 1</REALTIME><REBOOT>01</REBOOT>
        <OVERWRITE> 12x</OVERWRITE><FILESIZE>x</FILESIZE></FILE>
      <FILE><ICONINDEX>2147483647</ICONINDEX><OVERWRITE>-2147483648</OVERWRITE><SELFREG>1</SELFREG></FILE>
    </FILES></SETUP>)");
    const auto& first = setup_.Files()[0];
    EXPECT_EQ(first.iconIndex, -3);
    EXPECT_EQ(first.selfReg, 0);
    EXPECT_EQ(first.realTime, 0);
    EXPECT_EQ(first.reboot, 0);
    EXPECT_EQ(first.overwrite, 12);
    EXPECT_EQ(first.fileSize, 0);
    const auto& second = setup_.Files()[1];
    EXPECT_EQ(second.iconIndex, 2147483647);
    EXPECT_EQ(second.overwrite, -2147483647 - 1);
    EXPECT_EQ(second.selfReg, 1);
}

TEST_F(Reader, ValueIsAllTheTextBeneathItsElement) {
    Read(
        "<SETUP><CONFIG><F>a<i>b</i>c<![CDATA[<d>]]></F><W>  </W></CONFIG>"
        "<PREKILLS><PREKILL><CLASS>x<y>z</y></CLASS><TITLE>\n  "
        "</TITLE></PREKILL></PREKILLS></SETUP>");
    EXPECT_EQ(setup_.ElementFields().at("F"), "abc<d>");
    // A value made of blanks keeps them.
    EXPECT_EQ(setup_.ElementFields().at("W"), "  ");
    EXPECT_EQ(setup_.PreKills()[0].ClassName(), "xz");
    EXPECT_EQ(setup_.PreKills()[0].Title(), "\n  ");
}

TEST_F(Reader, LoadReplacesTheWholeDescription) {
    setup_.AddReservedWord("OLD", "", "");
    setup_.AddCommand(CommandKind::DeleteExecute, "old");
    EXPECT_EQ(
        Read("<SETUP><FILES><FILE><SRCPATH>1</SRCPATH></FILE><FILE><SRCPATH>2</SRCPATH></FILE>"
             "</FILES></SETUP>"),
        "file[1|||||||0|0|0|0|0|0]\nfile[2|||||||0|0|0|0|0|0]\n");
    EXPECT_EQ(Read("<SETUP/>"), "");
}

}  // namespace
}  // namespace korvane::setupfile
