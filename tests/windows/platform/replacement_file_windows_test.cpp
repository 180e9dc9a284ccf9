// Replacing a file's contents on Windows: whole or not at all, by relative or full path, and
// nothing of the library's own left behind.
#include <gtest/gtest.h>
#include <windows.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "platform/file_support_windows.h"
#include "platform/files.h"
#include "scratch_directory.h"
#include "wine.h"

namespace {

using korvane::platform::ReplacementFile;

class WindowsReplacementFile : public ::testing::Test {
  protected:
    bool Replace(const std::string& target, const std::string& contents) {
        ReplacementFile file(target);
        return file.IsOpen() && file.Write(contents.data(), contents.size()) && file.Commit();
    }

    korvane::testing::ScratchDirectory directory_{false};
};

TEST_F(WindowsReplacementFile, ReplacesAnExistingFileByItsRelativeName) {
    directory_.Write("setup.xml", "old contents");
    EXPECT_TRUE(Replace("setup.xml", "new"));
    EXPECT_EQ(directory_.Read("setup.xml"), "new");
    EXPECT_EQ(directory_.Listing(), "setup.xml ");

    std::filesystem::create_directory("inner");
    directory_.Write("inner\\setup.xml", "old");
    EXPECT_TRUE(Replace("inner\\..\\inner\\setup.xml", "newer"));
    EXPECT_EQ(directory_.Read("inner\\setup.xml"), "newer");
}

TEST_F(WindowsReplacementFile, CreatesAMissingFile) {
    EXPECT_TRUE(Replace((directory_.path() / "new.xml").string(), "<a/>"));
    EXPECT_EQ(directory_.Read("new.xml"), "<a/>");
    EXPECT_EQ(directory_.Listing(), "new.xml ");
}

TEST_F(WindowsReplacementFile, LeavesTheTargetWhenNotCommitted) {
    directory_.Write("setup.xml", "old");
    {
        ReplacementFile file("setup.xml");
        ASSERT_TRUE(file.IsOpen());
        ASSERT_TRUE(file.Write("half", 4));
    }
    EXPECT_EQ(directory_.Read("setup.xml"), "old");
    EXPECT_EQ(directory_.Listing(), "setup.xml ");
}

TEST_F(WindowsReplacementFile, RefusesFoldersAndMissingFolders) {
    std::filesystem::create_directory("folder");
    ReplacementFile folder("folder");
    EXPECT_FALSE(folder.IsOpen());
    EXPECT_EQ(folder.Error(), EISDIR);
    EXPECT_FALSE(folder.Commit());

    ReplacementFile missing("missing\\setup.xml");
    EXPECT_FALSE(missing.IsOpen());
    EXPECT_EQ(missing.Error(), ENOENT);
    EXPECT_EQ(directory_.Listing(), "folder ");
}

TEST_F(WindowsReplacementFile, AFailedReplacementRemovesOnlyWhatItCreated) {
    directory_.Write("setup.xml", "old");
    // Files of the user's that look like the one Wine's ReplaceFileW leaves behind.
    directory_.Write("rf1a2b.tmp", "");
    directory_.Write("rfc3d4.tmp", "the user's");
    {
        // Another program has the target open and does not let it be moved.
        const korvane::platform::FileHandle held(
            CreateFileA("setup.xml", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(held.IsOpen());
        EXPECT_FALSE(Replace("setup.xml", "new"));
    }
    EXPECT_EQ(directory_.Read("setup.xml"), "old");
    EXPECT_EQ(directory_.Read("rfc3d4.tmp"), "the user's");
    EXPECT_EQ(directory_.Listing(), "rf1a2b.tmp rfc3d4.tmp setup.xml ");
    // Once the target is free again, the replacement works.
    EXPECT_TRUE(Replace("setup.xml", "new"));
    EXPECT_EQ(directory_.Read("setup.xml"), "new");
}

TEST_F(WindowsReplacementFile, KeepsTheTargetsAttributes) {
    if (korvane::testing::RunningUnderWine())
        GTEST_SKIP() << "Wine's ReplaceFileW drops the hidden attribute of the replaced file";
    const std::string target = directory_.Write("hidden.xml", "old");
    ASSERT_TRUE(SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_HIDDEN));
    EXPECT_TRUE(Replace("hidden.xml", "new"));
    EXPECT_EQ(directory_.Read("hidden.xml"), "new");
    EXPECT_NE(GetFileAttributesA(target.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
}

}  // namespace
