// Every way a load or a save can fail: result 0, the documented message, the description and
// the caller's files as they were, no scratch file left behind.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include <string>

#include "describe_setup.h"
#include "model/setup_document.h"
#include "scratch_directory.h"

namespace korvane::xml {
namespace {

using model::SetupDocument;
using testing::DescribeSetup;
using testing::ScratchDirectory;

const char* const kPreviousContents = "previous contents\n";

class Failures : public ::testing::Test {
  protected:
    void SetUp() override {
        setup_.AddFileInfo("s", "n", "f", "v", "o", "c", "d", 1, 0, 0, 0, 0, 0);
        setup_.AddElementField("NAME", "kept");
        before_ = DescribeSetup(setup_);
    }

    void ExpectDescriptionUnchanged() { EXPECT_EQ(DescribeSetup(setup_), before_); }

    ScratchDirectory directory_;
    SetupDocument setup_;
    std::string before_;
};

TEST_F(Failures, LoadOfAMissingFileOrNullPath) {
    EXPECT_EQ(setup_.LoadXmlFile(nullptr), 0);
    EXPECT_EQ(setup_.LoadXmlFile("missing.xml"), 0);
    EXPECT_STREQ(setup_.Message(), "XML load error 2");  // ENOENT
    EXPECT_EQ(setup_.LastLoadError().kind, LoadError::Kind::Unreadable);
    EXPECT_EQ(setup_.LoadXmlFile(directory_.path().c_str()), 0);  // a directory
    ASSERT_EQ(mkfifo("pipe", 0600), 0);
    EXPECT_EQ(setup_.LoadXmlFile("pipe"), 0);  // without waiting for a writer
    ExpectDescriptionUnchanged();
}

TEST_F(Failures, LoadOfMalformedXmlSaysWhere) {
    directory_.Write("bad.xml", "<SETUP>\n  <FILES>\n</SETUP>\n");
    EXPECT_EQ(setup_.LoadXmlFile("bad.xml"), 0);
    EXPECT_EQ(std::string(setup_.Message()).rfind("XML load error ", 0), 0u);
    EXPECT_EQ(setup_.LastLoadError().kind, LoadError::Kind::NotWellFormed);
    EXPECT_EQ(setup_.LastLoadError().line, 3);
    for (const char* text : {"", "not xml", "<SETUP>", "<a></b>", "<?xml version=\"1.0\"?>"}) {
        directory_.Write("bad.xml", text);
        EXPECT_EQ(setup_.LoadXmlFile("bad.xml"), 0) << text;
    }
    ExpectDescriptionUnchanged();
    EXPECT_STREQ(setup_.LoadedFileName(), "");
}

TEST_F(Failures, SaveWithAnInvalidConfigNameKeepsTheTarget) {
    directory_.Write("setup.xml", kPreviousContents);
    for (const char* name : {"1bad", "a b", "", "a:b"}) {
        SetupDocument setup;
        setup.AddElementField(name, "x");
        EXPECT_EQ(setup.SaveXmlFile("setup.xml"), 0) << name;
        EXPECT_STREQ(setup.Message(), "XML node create error");
    }
    EXPECT_EQ(directory_.Read("setup.xml"), kPreviousContents);
    EXPECT_EQ(directory_.Listing(), "setup.xml ");
}

TEST_F(Failures, SaveOfANameThatEucKrCannotWriteIsRefused) {
    SetupDocument setup;
    setup.AddElementField("caf\xC3\xA9", "x");  // é: a valid name character that euc-kr lacks
    EXPECT_EQ(setup.SaveXmlFile("setup.xml"), 0);
    EXPECT_STREQ(setup.Message(), "XML node create error");
    EXPECT_EQ(directory_.Listing(), "");
}

TEST_F(Failures, SaveOfATextThatXmlCannotCarryIsRefused) {
    directory_.Write("setup.xml", kPreviousContents);
    SetupDocument setup;
    setup.AddCommand(model::CommandKind::PreExecute, "beep\x07");
    EXPECT_EQ(setup.SaveXmlFile("setup.xml"), 0);
    EXPECT_STREQ(setup.Message(), "XML node create error");
    EXPECT_EQ(directory_.Read("setup.xml"), kPreviousContents);
    EXPECT_EQ(directory_.Listing(), "setup.xml ");
}

TEST_F(Failures, SaveWithoutAStylesheetWritesNothing) {
    ScratchDirectory bare(false);
    bare.Write("setup.xml", kPreviousContents);
    EXPECT_EQ(setup_.SaveXmlFile("setup.xml"), 0);
    EXPECT_EQ(bare.Read("setup.xml"), kPreviousContents);
    EXPECT_EQ(bare.Listing(), "setup.xml ");

    // Not a stylesheet, or one that produces nothing, fails the same way.
    bare.Write("indent.xsl", "<notxslt/>");
    EXPECT_EQ(setup_.SaveXmlFile("setup.xml"), 0);
    bare.Write("indent.xsl",
               "<xsl:stylesheet version='1.0' xmlns:xsl='http://www.w3.org/1999/XSL/Transform'>"
               "<xsl:template match='/'/></xsl:stylesheet>");
    EXPECT_EQ(setup_.SaveXmlFile("setup.xml"), 0);
    EXPECT_EQ(bare.Read("setup.xml"), kPreviousContents);
    ExpectDescriptionUnchanged();
}

TEST_F(Failures, SaveToATargetThatCannotBeWritten) {
    EXPECT_EQ(setup_.SaveXmlFile(nullptr), 0);
    EXPECT_EQ(setup_.SaveXmlFile("no/such/folder/setup.xml"), 0);
    directory_.Write("plain", "a file, not a folder");
    EXPECT_EQ(setup_.SaveXmlFile("plain/setup.xml"), 0);
    EXPECT_EQ(setup_.SaveXmlFile(directory_.path().c_str()), 0);  // a directory
    EXPECT_EQ(directory_.Listing(), "plain ");
    ExpectDescriptionUnchanged();
}

TEST_F(Failures, SaveWhenTheScratchFileCannotBeWritten) {
    // A directory named temp.xml cannot be replaced by the scratch file.
    ASSERT_EQ(mkdir("temp.xml", 0755), 0);
    directory_.Write("setup.xml", kPreviousContents);
    EXPECT_EQ(setup_.SaveXmlFile("setup.xml"), 0);
    EXPECT_STREQ(setup_.Message(), "XML save error");
    EXPECT_EQ(directory_.Read("setup.xml"), kPreviousContents);
}

TEST_F(Failures, SuccessfulSavesReplaceTheTargetAndRemoveTheScratchFile) {
    directory_.Write("temp.xml", "an old scratch file");
    directory_.Write("setup.xml", kPreviousContents);
    ASSERT_EQ(setup_.SaveXmlFile("setup.xml"), 1);
    ASSERT_EQ(setup_.SaveXmlFile("setup.xml"), 1);
    EXPECT_EQ(directory_.Listing(), "setup.xml ");
    EXPECT_NE(directory_.Read("setup.xml"), kPreviousContents);
    // Saving to the scratch file's own name keeps the result.
    ASSERT_EQ(setup_.SaveXmlFile("temp.xml"), 1);
    SetupDocument loaded;
    ASSERT_EQ(loaded.LoadXmlFile("temp.xml"), 1);
    EXPECT_EQ(DescribeSetup(loaded), before_);
}

TEST_F(Failures, FailedSaveToTheScratchFileItselfKeepsIt) {
    ScratchDirectory bare(false);  // no stylesheet: the save fails after the scratch step
    bare.Write("temp.xml", kPreviousContents);
    std::filesystem::create_symlink("temp.xml", "link.xml");
    for (const char* name : {"temp.xml", "./temp.xml", "link.xml"}) {
        EXPECT_EQ(setup_.SaveXmlFile(name), 0) << name;
        EXPECT_EQ(bare.Read("temp.xml"), kPreviousContents) << name;
    }
    EXPECT_EQ(bare.Listing(), "link.xml temp.xml ");
}

// Everything written to standard output and standard error while `action` runs.
template <typename Action>
std::string PrintedDuring(Action&& action) {
    std::fflush(stdout);
    std::fflush(stderr);
    char path[] = "/tmp/korvane-printed-XXXXXX";
    const int capture = mkstemp(path);
    const int savedOut = dup(1), savedErr = dup(2);
    dup2(capture, 1);
    dup2(capture, 2);
    action();
    std::fflush(stdout);
    std::fflush(stderr);
    dup2(savedOut, 1);
    dup2(savedErr, 2);
    close(savedOut);
    close(savedErr);
    std::string printed;
    char chunk[512];
    lseek(capture, 0, SEEK_SET);
    for (ssize_t got; (got = read(capture, chunk, sizeof chunk)) > 0;) printed.append(chunk, got);
    close(capture);
    unlink(path);
    return printed;
}

TEST_F(Failures, NothingIsEverPrinted) {
    directory_.Write("bad.xml", "<SETUP><FILES></SETUP>");
    directory_.Write("undeclared.xml", "<SETUP>&nowhere;</SETUP>");
    const std::string printed = PrintedDuring([&] {
        setup_.LoadXmlFile("bad.xml");
        setup_.LoadXmlFile("undeclared.xml");
        setup_.LoadXmlFile("missing.xml");
        setup_.SaveXmlFile("no/such/folder/setup.xml");
        directory_.Write("indent.xsl",
                         "<xsl:stylesheet version='1.0' "
                         "xmlns:xsl='http://www.w3.org/1999/XSL/Transform'>"
                         "<xsl:bogus/></xsl:stylesheet>");
        setup_.SaveXmlFile("setup.xml");
        directory_.Write("indent.xsl", "<not-a-stylesheet/>");
        setup_.SaveXmlFile("setup.xml");
    });
    EXPECT_EQ(printed, "");
}

TEST_F(Failures, LoadRemembersWhereTheFileCameFrom) {
    ASSERT_EQ(setup_.SaveXmlFile("setup.xml"), 1);
    const std::string full = (directory_.path() / "setup.xml").string();
    ASSERT_EQ(setup_.LoadXmlFile(full.c_str()), 1);
    EXPECT_EQ(std::string(setup_.LoadedDirectory()), directory_.path().string() + "/");
    EXPECT_STREQ(setup_.LoadedFileName(), "setup.xml");
    // A bare name has no directory part: the name stands for both, the file name stays.
    ASSERT_EQ(setup_.LoadXmlFile("setup.xml"), 1);
    EXPECT_STREQ(setup_.LoadedDirectory(), "setup.xml");
    EXPECT_STREQ(setup_.LoadedFileName(), "setup.xml");
    setup_.ClearAll();
    EXPECT_STREQ(setup_.LoadedFileName(), "setup.xml");
    EXPECT_EQ(DirectoryOfPath("C:\\setup\\data.xml"), "C:\\setup\\");
    EXPECT_EQ(FileNameOfPath("C:\\setup\\data.xml"), "data.xml");
    EXPECT_EQ(FileNameOfPath("\\data.xml"), "");
}

}  // namespace
}  // namespace korvane::xml
