// Every way a load or a save can fail: the failed step or outcome, the documented message, the
// description and the caller's files as they were, no scratch file left behind.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include <string>

#include "captured_output.h"
#include "describe_setup.h"
#include "model/setup_document.h"
#include "replaced_calls.h"
#include "scratch_directory.h"
#include "setup_file_io.h"

namespace korvane::setupfile {
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

TEST_F(Failures, LoadOfAFileThatCannotBeReadSaysWhy) {
    LoadResult result = LoadSetupFile("missing.xml", setup_);
    EXPECT_EQ(result.kind, LoadResult::Kind::Unreadable);
    EXPECT_EQ(MessageOf(result), "XML load error 2");  // ENOENT
    EXPECT_EQ(LoadSetupFile(directory_.path().string(), setup_).code, EISDIR);
    ASSERT_EQ(mkfifo("pipe", 0600), 0);
    result = LoadSetupFile("pipe", setup_);  // without waiting for a writer
    EXPECT_EQ(result.kind, LoadResult::Kind::Unreadable);
    EXPECT_EQ(result.code, EINVAL);
    // A file beyond 256 MB is refused before it is read (a sparse file: nothing to read).
    directory_.Write("huge.xml", "<SETUP/>");
    ASSERT_EQ(truncate("huge.xml", 256L * 1024 * 1024 + 1), 0);
    EXPECT_EQ(LoadSetupFile("huge.xml", setup_).code, EFBIG);
    ExpectDescriptionUnchanged();
}

TEST_F(Failures, LoadOfMalformedXmlSaysWhere) {
    directory_.Write("bad.xml", "<SETUP>\n  <FILES>\n</SETUP>\n");
    const LoadResult result = LoadSetupFile("bad.xml", setup_);
    EXPECT_EQ(result.kind, LoadResult::Kind::NotWellFormed);
    EXPECT_EQ(result.line, 3);
    EXPECT_EQ(MessageOf(result), "XML load error " + std::to_string(result.code));
    for (const char* text : {"", "not xml", "<SETUP>", "<a></b>", "<?xml version=\"1.0\"?>"}) {
        directory_.Write("bad.xml", text);
        EXPECT_EQ(LoadFile(setup_, "bad.xml"), 0) << text;
    }
    ExpectDescriptionUnchanged();
}

TEST_F(Failures, SaveWithAnInvalidConfigNameKeepsTheTarget) {
    directory_.Write("setup.xml", kPreviousContents);
    // The last is a name longer than any load reads back.
    for (const std::string& name : {std::string("1bad"), std::string("a b"), std::string(),
                                    std::string("a:b"), std::string(50001, 'a')}) {
        SetupDocument setup;
        setup.AddElementField(name, "x");
        EXPECT_EQ(SaveFile(setup, "setup.xml"), 0) << name.size();
        const SaveResult result = SaveSetupFile(setup, "setup.xml");
        EXPECT_EQ(result.failed, SaveResult::Step::Build);
        EXPECT_EQ(MessageOf(result), "XML node create error");
    }
    EXPECT_EQ(directory_.Read("setup.xml"), kPreviousContents);
    EXPECT_EQ(directory_.Listing(), "setup.xml ");
}

TEST_F(Failures, SaveOfANameThatEucKrCannotWriteIsRefused) {
    SetupDocument setup;
    setup.AddElementField("caf\xC3\xA9", "x");  // é: a valid name character that euc-kr lacks
    EXPECT_EQ(SaveFile(setup, "setup.xml"), 0);
    EXPECT_EQ(MessageOf(SaveSetupFile(setup, "setup.xml")), "XML node create error");
    EXPECT_EQ(directory_.Listing(), "");
}

TEST_F(Failures, SaveOfATextThatXmlCannotCarryIsRefused) {
    directory_.Write("setup.xml", kPreviousContents);
    SetupDocument setup;
    setup.AddCommand(model::CommandKind::PreExecute, "beep\x07");
    EXPECT_EQ(SaveFile(setup, "setup.xml"), 0);
    EXPECT_EQ(MessageOf(SaveSetupFile(setup, "setup.xml")), "XML node create error");
    EXPECT_EQ(directory_.Read("setup.xml"), kPreviousContents);
    EXPECT_EQ(directory_.Listing(), "setup.xml ");
}

TEST_F(Failures, SaveWithoutAStylesheetWritesNothing) {
    ScratchDirectory bare(false);
    bare.Write("setup.xml", kPreviousContents);
    EXPECT_EQ(SaveSetupFile(setup_, "setup.xml").failed, SaveResult::Step::Stylesheet);
    EXPECT_EQ(bare.Read("setup.xml"), kPreviousContents);
    EXPECT_EQ(bare.Listing(), "setup.xml ");

    // Not a stylesheet, or one that produces nothing, fails the same way.
    bare.Write("indent.xsl", "<notxslt/>");
    EXPECT_EQ(SaveSetupFile(setup_, "setup.xml").failed, SaveResult::Step::Transform);
    bare.Write("indent.xsl",
               "<xsl:stylesheet version='1.0' xmlns:xsl='http://www.w3.org/1999/XSL/Transform'>"
               "<xsl:template match='/'/></xsl:stylesheet>");
    EXPECT_EQ(SaveFile(setup_, "setup.xml"), 0);
    EXPECT_EQ(bare.Read("setup.xml"), kPreviousContents);
    ExpectDescriptionUnchanged();
}

TEST_F(Failures, SaveToATargetThatCannotBeWritten) {
    const SaveResult result = SaveSetupFile(setup_, "no/such/folder/setup.xml");
    EXPECT_EQ(result.failed, SaveResult::Step::Target);
    EXPECT_EQ(result.systemError, ENOENT);
    EXPECT_EQ(MessageOf(result), "");
    directory_.Write("plain", "a file, not a folder");
    EXPECT_EQ(SaveFile(setup_, "plain/setup.xml"), 0);
    EXPECT_EQ(SaveFile(setup_, directory_.path().c_str()), 0);  // a directory
    EXPECT_EQ(directory_.Listing(), "plain ");
    ExpectDescriptionUnchanged();
}

int FullDiskForScratchFiles(int folder, const char* name, int flags, mode_t mode) {
    if ((flags & O_EXCL) != 0 && std::strncmp(name, "temp-", 5) == 0) {
        errno = ENOSPC;
        return -1;
    }
    return ::openat(folder, name, flags, mode);
}

TEST_F(Failures, SaveWhenTheScratchFileCannotBeWritten) {
    directory_.Write("setup.xml", kPreviousContents);
    {
        const korvane::testing::ReplacedCalls calls;
        platform::SystemCalls().openat = FullDiskForScratchFiles;
        const SaveResult result = SaveSetupFile(setup_, "setup.xml");
        EXPECT_EQ(result.failed, SaveResult::Step::ScratchFile);
        EXPECT_EQ(result.systemError, ENOSPC);
        EXPECT_EQ(MessageOf(result), "XML save error");
    }
    EXPECT_EQ(directory_.Read("setup.xml"), kPreviousContents);
    EXPECT_EQ(directory_.Listing(), "setup.xml ");
}

TEST_F(Failures, AFileNamedTempXmlIsNotTheSavesToRemoveOrReplace) {
    // An older program's scratch file, or the user's own file of that name.
    directory_.Write("temp.xml", "an old scratch file");
    directory_.Write("setup.xml", kPreviousContents);
    ASSERT_EQ(SaveFile(setup_, "setup.xml"), 1);
    ASSERT_EQ(SaveFile(setup_, "setup.xml"), 1);
    EXPECT_EQ(directory_.Read("temp.xml"), "an old scratch file");
    EXPECT_EQ(directory_.Listing(), "setup.xml temp.xml ");
    EXPECT_NE(directory_.Read("setup.xml"), kPreviousContents);
    // Saving to that name is an ordinary save.
    ASSERT_EQ(SaveFile(setup_, "temp.xml"), 1);
    SetupDocument loaded;
    ASSERT_EQ(LoadFile(loaded, "temp.xml"), 1);
    EXPECT_EQ(DescribeSetup(loaded), before_);
    // Nor does a folder of that name stand in a save's way.
    ScratchDirectory other;
    ASSERT_EQ(mkdir("temp.xml", 0755), 0);
    EXPECT_EQ(SaveFile(setup_, "setup.xml"), 1);
    EXPECT_EQ(other.Listing(), "setup.xml temp.xml ");
}

TEST_F(Failures, FailedSaveToTheScratchFileItselfKeepsIt) {
    ScratchDirectory bare(false);  // no stylesheet: the save fails after the scratch step
    bare.Write("temp.xml", kPreviousContents);
    std::filesystem::create_symlink("temp.xml", "link.xml");
    for (const char* name : {"temp.xml", "./temp.xml", "link.xml"}) {
        EXPECT_EQ(SaveFile(setup_, name), 0) << name;
        EXPECT_EQ(bare.Read("temp.xml"), kPreviousContents) << name;
    }
    EXPECT_EQ(bare.Listing(), "link.xml temp.xml ");
}

TEST_F(Failures, TheStylesheetIsNeverSavedOver) {
    const std::string stylesheet = directory_.Read("indent.xsl");
    std::filesystem::create_directory("sub");
    std::filesystem::create_symlink("../indent.xsl", "sub/link.xsl");
    std::filesystem::create_hard_link("indent.xsl", "hard.xsl");
    for (const char* name : {"indent.xsl", "./indent.xsl", "sub/../indent.xsl", "sub/link.xsl",
                             "hard.xsl"}) {
        const SaveResult result = SaveSetupFile(setup_, name);
        EXPECT_EQ(result.failed, SaveResult::Step::Target) << name;
        EXPECT_EQ(result.systemError, EBUSY) << name;
        EXPECT_EQ(directory_.Read("indent.xsl"), stylesheet) << name;
    }
    // Every later save still works.
    ASSERT_EQ(SaveFile(setup_, "setup.xml"), 1);
    EXPECT_EQ(directory_.Listing(), "hard.xsl setup.xml sub ");
}

TEST_F(Failures, NothingIsEverPrinted) {
    directory_.Write("bad.xml", "<SETUP><FILES></SETUP>");
    directory_.Write("undeclared.xml", "<SETUP>&nowhere;</SETUP>");
    const std::string printed = korvane::testing::PrintedDuring([&] {
        LoadFile(setup_, "bad.xml");
        LoadFile(setup_, "undeclared.xml");
        LoadFile(setup_, "missing.xml");
        SaveFile(setup_, "no/such/folder/setup.xml");
        directory_.Write("indent.xsl",
                         "<xsl:stylesheet version='1.0' "
                         "xmlns:xsl='http://www.w3.org/1999/XSL/Transform'>"
                         "<xsl:bogus/></xsl:stylesheet>");
        SaveFile(setup_, "setup.xml");
        directory_.Write("indent.xsl", "<not-a-stylesheet/>");
        SaveFile(setup_, "setup.xml");
    });
    EXPECT_EQ(printed, "");
}

}  // namespace
}  // namespace korvane::setupfile
