// What a save does to the file it is given: exactly that file gets the whole new content, under
// exactly the given name, and keeps its identity (links, owner, group, mode); nothing else in
// its folder changes.
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include "describe_setup.h"
#include "model/setup_document.h"
#include "scratch_directory.h"
#include "setup_file_io.h"

namespace korvane::xml {
namespace {

namespace fs = std::filesystem;
using model::SetupDocument;
using testing::DescribeSetup;
using testing::ScratchDirectory;

const char* const kPrevious = "previous contents\n";
constexpr uid_t kNobody = 65534;

struct stat StatusOf(const std::string& path) {
    struct stat status = {};
    lstat(path.c_str(), &status);
    return status;
}

class SaveTarget : public ::testing::Test {
  protected:
    SaveTarget() {
        setup_.AddElementField("NAME", "saved");
        setup_.AddCommand(model::CommandKind::PostExecute, "run.exe");
        expected_ = DescribeSetup(setup_);
    }

    // True when `path` holds exactly what setup_ describes.
    bool HoldsTheSave(const std::string& path) {
        SetupDocument loaded;
        return LoadFile(loaded, path.c_str()) == 1 && DescribeSetup(loaded) == expected_;
    }

    // Runs `action` in a child process as the user and group `nobody`; its result is the
    // child's exit status (0 when `action` returned true).
    static int AsNobody(const std::function<bool()>& action) {
        const pid_t child = fork();
        if (child == 0) {
            const bool ok = setgroups(0, nullptr) == 0 && setgid(kNobody) == 0 &&
                            setuid(kNobody) == 0 && action();
            _exit(ok ? 0 : 1);
        }
        int status = 0;
        waitpid(child, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : 2;
    }

    ScratchDirectory directory_;
    SetupDocument setup_;
    std::string expected_;
};

TEST_F(SaveTarget, NamesThatLookLikeUrisAreFileNames) {
    fs::create_directories("one/two");
    directory_.Write("notes", kPrevious);
    directory_.Write("victim", kPrevious);
    const std::string names[] = {
        "a%41.xml",     "notes%00.xml",   "one/two/..%2F..%2Fvictim%00.xml", "what?x=1.xml",
        "part#two.xml", "file:plain.xml", "file%3A%2F%2F%2Ftmp%2Fx.xml"};
    for (const std::string& name : names) {
        ASSERT_EQ(SaveFile(setup_, name.c_str()), 1) << name;
        EXPECT_TRUE(HoldsTheSave(name)) << name;
    }
    EXPECT_EQ(directory_.Read("notes"), kPrevious);
    EXPECT_EQ(directory_.Read("victim"), kPrevious);
    EXPECT_EQ(directory_.Listing(),
              "a%41.xml file%3A%2F%2F%2Ftmp%2Fx.xml file:plain.xml notes notes%00.xml one "
              "part#two.xml victim what?x=1.xml ");
    EXPECT_EQ(fs::directory_iterator("one/two")->path().filename(), "..%2F..%2Fvictim%00.xml");
}

TEST_F(SaveTarget, NamesUpToTheSystemLimitSave) {
    const long longest = pathconf(".", _PC_NAME_MAX);
    ASSERT_GT(longest, 4);
    for (const long length : {longest - 25, longest}) {
        const std::string name = std::string(length - 4, 'n') + ".xml";
        ASSERT_EQ(SaveFile(setup_, name.c_str()), 1) << length;
        EXPECT_TRUE(HoldsTheSave(name));
        fs::remove(name);
    }
    EXPECT_EQ(directory_.Listing(), "");
}

TEST_F(SaveTarget, SymbolicLinksAreFollowedToTheFileTheyName) {
    fs::create_directory("sub");
    directory_.Write("real.xml", kPrevious);
    fs::create_symlink("real.xml", "direct.xml");
    // A chain whose second link is relative to its own folder.
    fs::create_symlink("sub/second.xml", "first.xml");
    fs::create_symlink("../real.xml", "sub/second.xml");
    fs::create_symlink(fs::absolute("created.xml"), "dangling.xml");

    ASSERT_EQ(SaveFile(setup_, "direct.xml"), 1);
    EXPECT_TRUE(fs::is_symlink("direct.xml"));
    EXPECT_TRUE(HoldsTheSave("real.xml"));
    directory_.Write("real.xml", kPrevious);
    ASSERT_EQ(SaveFile(setup_, "first.xml"), 1);
    EXPECT_TRUE(fs::is_symlink("first.xml"));
    EXPECT_TRUE(fs::is_symlink("sub/second.xml"));
    EXPECT_TRUE(HoldsTheSave("real.xml"));
    ASSERT_EQ(SaveFile(setup_, "dangling.xml"), 1);
    EXPECT_TRUE(fs::is_symlink("dangling.xml"));
    EXPECT_TRUE(HoldsTheSave("created.xml"));
    EXPECT_EQ(directory_.Listing(), "created.xml dangling.xml direct.xml first.xml real.xml sub ");
}

TEST_F(SaveTarget, LinkLoopsAndFilesThatAreNotRegularAreRefused) {
    fs::create_symlink("loop-b", "loop-a");
    fs::create_symlink("loop-a", "loop-b");
    ASSERT_EQ(mkfifo("pipe.xml", 0600), 0);
    fs::create_symlink("pipe.xml", "to-pipe.xml");
    fs::create_directory("folder.xml");
    fs::create_symlink("folder.xml", "to-folder.xml");
    for (const char* name : {"loop-a", "pipe.xml", "to-pipe.xml", "folder.xml", "to-folder.xml"}) {
        EXPECT_EQ(SaveFile(setup_, name), 0) << name;
    }
    EXPECT_TRUE(fs::is_fifo("pipe.xml"));
    EXPECT_TRUE(fs::is_empty("folder.xml"));
    EXPECT_EQ(fs::read_symlink("loop-a"), "loop-b");
    EXPECT_EQ(directory_.Listing(), "folder.xml loop-a loop-b pipe.xml to-folder.xml to-pipe.xml ");

    if (geteuid() == 0 && mknod("null.xml", S_IFCHR | 0666, makedev(1, 3)) == 0) {
        EXPECT_EQ(SaveFile(setup_, "null.xml"), 0);
        EXPECT_TRUE(S_ISCHR(StatusOf("null.xml").st_mode));
    }
}

TEST_F(SaveTarget, HardLinksModeAndOwnerSurvive) {
    directory_.Write("setup.xml", kPrevious);
    fs::create_hard_link("setup.xml", "other-name.xml");
    ASSERT_EQ(chmod("setup.xml", 0640), 0);
    const bool canChangeOwner = geteuid() == 0;
    if (canChangeOwner) {
        ASSERT_EQ(chown("setup.xml", kNobody, kNobody), 0);
    }
    const struct stat before = StatusOf("setup.xml");

    ASSERT_EQ(SaveFile(setup_, "setup.xml"), 1);
    const struct stat after = StatusOf("setup.xml");
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_nlink, 2u);
    EXPECT_EQ(after.st_mode, before.st_mode);
    EXPECT_EQ(after.st_uid, before.st_uid);
    EXPECT_EQ(after.st_gid, before.st_gid);
    EXPECT_TRUE(HoldsTheSave("other-name.xml"));

    // With a single link the file is replaced, and still keeps owner, group and mode.
    fs::remove("other-name.xml");
    ASSERT_EQ(SaveFile(setup_, "setup.xml"), 1);
    const struct stat replaced = StatusOf("setup.xml");
    EXPECT_EQ(replaced.st_mode, before.st_mode);
    EXPECT_EQ(replaced.st_uid, before.st_uid);
    EXPECT_EQ(replaced.st_gid, before.st_gid);
    EXPECT_TRUE(HoldsTheSave("setup.xml"));
    EXPECT_EQ(directory_.Listing(), "setup.xml ");
    if (!canChangeOwner) GTEST_SKIP() << "owner kept only checked as root";
}

// The saver is not the owner of the file, or cannot write its folder: the content is written
// into the existing file, which stays the owner's.
TEST_F(SaveTarget, FilesOfOthersAndFilesInLockedFoldersAreWrittenInPlace) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to act as a second user";
    // The working folder (indent.xsl, temp.xml) and a temporary folder the second user can use.
    ASSERT_EQ(chown(".", kNobody, kNobody), 0);
    fs::create_directory("tmp");
    ASSERT_EQ(chown("tmp", kNobody, kNobody), 0);
    // A folder only root can write, holding a file that nobody owns.
    fs::create_directory("locked");
    directory_.Write("locked/mine.xml", kPrevious);
    ASSERT_EQ(chown("locked/mine.xml", kNobody, kNobody), 0);
    // A sticky folder that anyone can write, holding root's file that anyone can write.
    fs::create_directory("sticky");
    ASSERT_EQ(chmod("sticky", 01777), 0);
    directory_.Write("sticky/shared.xml", kPrevious);
    ASSERT_EQ(chmod("sticky/shared.xml", 0666), 0);
    // Root's file that the second user may not write.
    directory_.Write("sticky/roots.xml", kPrevious);
    const struct stat lockedBefore = StatusOf("locked/mine.xml");
    const struct stat sharedBefore = StatusOf("sticky/shared.xml");

    setenv("TMPDIR", (directory_.path() / "tmp").c_str(), 1);
    const int status = AsNobody([&] {
        return SaveFile(setup_, "locked/mine.xml") == 1 &&
               SaveFile(setup_, "sticky/shared.xml") == 1 &&
               SaveFile(setup_, "sticky/roots.xml") == 0;
    });
    unsetenv("TMPDIR");
    EXPECT_EQ(status, 0);

    const struct stat lockedAfter = StatusOf("locked/mine.xml");
    EXPECT_EQ(lockedAfter.st_ino, lockedBefore.st_ino);
    EXPECT_EQ(lockedAfter.st_uid, kNobody);
    EXPECT_TRUE(HoldsTheSave("locked/mine.xml"));
    const struct stat sharedAfter = StatusOf("sticky/shared.xml");
    EXPECT_EQ(sharedAfter.st_ino, sharedBefore.st_ino);
    EXPECT_EQ(sharedAfter.st_uid, 0u);
    EXPECT_EQ(sharedAfter.st_mode, sharedBefore.st_mode);
    EXPECT_TRUE(HoldsTheSave("sticky/shared.xml"));
    EXPECT_EQ(directory_.Read("sticky/roots.xml"), kPrevious);
    // No copy of the old content and no temporary file is left anywhere.
    EXPECT_EQ(directory_.Listing(), "locked sticky tmp ");
    EXPECT_TRUE(fs::is_empty("tmp"));
    EXPECT_EQ(std::distance(fs::directory_iterator("locked"), {}), 1);
    EXPECT_EQ(std::distance(fs::directory_iterator("sticky"), {}), 2);
}

}  // namespace
}  // namespace korvane::xml
