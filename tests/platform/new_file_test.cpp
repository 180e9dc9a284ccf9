// New files written piece by piece: the pieces make the file in order, and a file whose writer
// failed or threw is never left behind.
#include <gtest/gtest.h>

#include <cerrno>
#include <stdexcept>
#include <string>

#include "platform/files.h"
#include "scratch_directory.h"

#ifndef _WIN32
#include <unistd.h>

#include "replaced_calls.h"
#endif

namespace korvane::platform {
namespace {

using testing::ScratchDirectory;

TEST(NewFile, PiecesAreWrittenInOrderIntoANewFileOnly) {
    ScratchDirectory directory(false);
    int calls = 0;
    const auto contents = [&calls](const PieceWriter& write) {
        ++calls;
        EXPECT_TRUE(write("<a>", 3));
        EXPECT_TRUE(write("", 0));
        EXPECT_TRUE(write("text</a>\n", 9));
    };
    EXPECT_EQ(WriteNewFile("new.xml", contents), 0);
    EXPECT_EQ(directory.Read("new.xml"), "<a>text</a>\n");
    // An existing file is neither written nor handed to the writer.
    EXPECT_EQ(WriteNewFile("new.xml", contents), EEXIST);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(directory.Read("new.xml"), "<a>text</a>\n");

    std::string name;
    EXPECT_EQ(WriteScratchFile("temp-", ".xml", contents, name), 0);
    EXPECT_EQ(name.size(), 5u + 8u + 4u);
    EXPECT_EQ(directory.Read(name), "<a>text</a>\n");
    EXPECT_EQ(calls, 2);
}

TEST(NewFile, AWriterThatThrowsLeavesNoFile) {
    ScratchDirectory directory(false);
    std::string name;
    EXPECT_THROW(WriteScratchFile(
                     "temp-", ".xml",
                     [](const PieceWriter& write) {
                         write("<a>", 3);
                         throw std::runtime_error("out of something");
                     },
                     name),
                 std::runtime_error);
    EXPECT_EQ(directory.Listing(), "");
}

#ifndef _WIN32
TEST(NewFile, AFailedPieceFailsTheRestAndLeavesNoFile) {
    ScratchDirectory directory(false);
    const testing::ReplacedCalls calls;
    SystemCalls().write = [](int file, const void* data, std::size_t size) -> ssize_t {
        if (size == 4) {
            errno = ENOSPC;
            return -1;
        }
        return ::write(file, data, size);
    };
    bool after = true;
    EXPECT_EQ(WriteNewFile("new.xml",
                           [&after](const PieceWriter& write) {
                               EXPECT_TRUE(write("<a>", 3));
                               EXPECT_FALSE(write("full", 4));
                               after = write("</a>\n", 5);
                           }),
              ENOSPC);
    EXPECT_FALSE(after);
    EXPECT_EQ(directory.Listing(), "");
}
#endif

}  // namespace
}  // namespace korvane::platform
