// Reading, writing and comparing files on Windows: the same results and error numbers as on
// POSIX systems.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "platform/files.h"
#include "scratch_directory.h"

namespace {

using korvane::platform::ReadRegularFile;
using korvane::platform::SameFile;
using korvane::platform::WriteNewFile;

class WindowsFiles : public ::testing::Test {
  protected:
    korvane::testing::ScratchDirectory directory_{false};
};

TEST_F(WindowsFiles, ReadsBytesAsTheyAreAndSaysWhyNot) {
    directory_.Write("crlf.xml", std::string("a\r\nb\x1a\0c", 7));
    std::string bytes;
    EXPECT_EQ(ReadRegularFile("crlf.xml", 100, bytes), 0);
    EXPECT_EQ(bytes, std::string("a\r\nb\x1a\0c", 7));

    EXPECT_EQ(ReadRegularFile("crlf.xml", 6, bytes), EFBIG);
    EXPECT_EQ(ReadRegularFile("missing.xml", 100, bytes), ENOENT);
    EXPECT_EQ(ReadRegularFile("missing\\inner.xml", 100, bytes), ENOENT);
    std::filesystem::create_directory("folder");
    EXPECT_EQ(ReadRegularFile("folder", 100, bytes), EISDIR);
    EXPECT_EQ(ReadRegularFile("NUL", 100, bytes), EINVAL);
}

TEST_F(WindowsFiles, WritesOnlyNewFiles) {
    EXPECT_EQ(WriteNewFile("temp.xml", "<a/>\n", 5), 0);
    EXPECT_EQ(directory_.Read("temp.xml"), "<a/>\n");
    EXPECT_EQ(WriteNewFile("temp.xml", "other", 5), EEXIST);
    EXPECT_EQ(directory_.Read("temp.xml"), "<a/>\n");
    std::filesystem::create_directory("folder");
    EXPECT_EQ(WriteNewFile("folder", "x", 1), EISDIR);
    EXPECT_EQ(WriteNewFile("missing\\temp.xml", "x", 1), ENOENT);
}

TEST_F(WindowsFiles, SameFileByIdentityNotByName) {
    directory_.Write("one.xml", "1");
    directory_.Write("two.xml", "1");
    const std::string full = (directory_.path() / "one.xml").string();
    EXPECT_TRUE(SameFile("one.xml", full));
    EXPECT_TRUE(SameFile("ONE.XML", ".\\one.xml"));
    EXPECT_FALSE(SameFile("one.xml", "two.xml"));
    EXPECT_FALSE(SameFile("missing.xml", "missing.xml"));
}

}  // namespace
