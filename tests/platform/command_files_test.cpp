// What the command asks of the system about files and folders: kinds and sizes, paths with their
// links resolved and whether one lies within another, the program's folder, and a private
// current folder that is left again.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "platform/file_tree.h"
#include "platform/private_folder.h"
#include "platform/program_path.h"
#include "scratch_directory.h"

#ifdef _WIN32
#include "platform/code_page.h"
#endif

namespace korvane::platform {
namespace {

namespace fs = std::filesystem;
using testing::ScratchDirectory;

TEST(FileTree, KindsSizesAndResolvedPaths) {
    ScratchDirectory directory(false);
    fs::create_directories("tree/sub");
    fs::create_directories("tree2");
    directory.Write("tree/sub/a.bin", "12345");
    directory.Write("tree2/b.bin", "");
    EXPECT_EQ(KindOf("tree/sub/a.bin"), PathKind::RegularFile);
    EXPECT_EQ(KindOf("tree/sub"), PathKind::Folder);
    EXPECT_EQ(KindOf("tree/none"), PathKind::Missing);
    EXPECT_TRUE(PathExists("tree/sub"));
    EXPECT_FALSE(PathExists("tree/none"));
    std::uint64_t size = 0;
    EXPECT_TRUE(FileSizeOf("tree/sub/a.bin", size));
    EXPECT_EQ(size, 5u);
    EXPECT_FALSE(FileSizeOf("tree/none", size));

    const std::string root = ResolvedPath("tree");
    ASSERT_FALSE(root.empty());
    EXPECT_EQ(ResolvedPath("tree/none"), "");
    EXPECT_TRUE(LiesWithin(ResolvedPath("tree/sub/a.bin"), root));
    EXPECT_TRUE(LiesWithin(ResolvedPath("tree/sub/../sub/a.bin"), root));
    EXPECT_TRUE(LiesWithin(root, root));
    // A sibling whose name starts with the folder's is not within it, nor is what ".." reaches.
    EXPECT_FALSE(LiesWithin(ResolvedPath("tree2/b.bin"), root));
    EXPECT_FALSE(LiesWithin(ResolvedPath("tree/../tree2/b.bin"), root));
    EXPECT_FALSE(LiesWithin(ResolvedPath("."), root));
}

TEST(FileTree, AbsolutePathsStayWithTheirFileWhenTheCurrentFolderChanges) {
    ScratchDirectory directory(false);
    directory.Write("kept.txt", "kept");
    std::string failure;
    const std::string absolute = AbsolutePath("kept.txt", failure);
    ASSERT_FALSE(absolute.empty()) << failure;
    const PrivateCurrentFolder elsewhere;
    ASSERT_EQ(elsewhere.failure(), "");
    EXPECT_EQ(KindOf("kept.txt"), PathKind::Missing);
    EXPECT_EQ(KindOf(absolute), PathKind::RegularFile);
}

TEST(PrivateCurrentFolder, IsNewAndEmptyAndIsLeftAndRemoved) {
    ScratchDirectory directory(false);
    const fs::path before = fs::current_path();
    fs::path inside;
    {
        const PrivateCurrentFolder folder;
        ASSERT_EQ(folder.failure(), "");
        inside = fs::current_path();
        EXPECT_NE(inside, before);
        EXPECT_TRUE(fs::is_empty(inside));
        directory.Write((inside / "left.txt").string(), "left behind");
        fs::create_directories("sub/deeper");
    }
    EXPECT_EQ(fs::current_path(), before);
    EXPECT_FALSE(fs::exists(inside));
}

TEST(ProgramPath, FolderOfTheProgramAndJoinedPaths) {
    const std::string folder = ProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(KindOf(folder), PathKind::Folder);
    const std::string joined = JoinPath(JoinPath(folder, "a/b"), "c.txt");
    EXPECT_EQ(ParentFolder(ParentFolder(joined)), JoinPath(folder, "a"));
    EXPECT_EQ(ParentFolder("file.txt"), "");
}

#ifdef _WIN32
TEST(ProgramPath, ParentFolderWalksDoubleByteCharacters) {
    SelectCodePageForTesting(kCodePageShiftJis);
    // 0x95 0x5C is one character in code page 932, whose trail byte is a backslash.
    EXPECT_EQ(ParentFolder("C:\\a\x95\x5C" "b\\c.txt"), "C:\\a\x95\x5C" "b");
    EXPECT_EQ(ParentFolder("C:\\a\x95\x5C" "b"), "C:\\");
    SelectCodePageForTesting(0);
    EXPECT_EQ(JoinPath("C:\\x", "share/korvane/indent.xsl"), "C:\\x\\share\\korvane\\indent.xsl");
}
#endif

}  // namespace
}  // namespace korvane::platform
