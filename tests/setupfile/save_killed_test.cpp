// A save that writes into the file itself (the file has a second hard link), ended at each of
// its write, sync and rename steps: a load then gives the old or the new description, never a
// refusal, writes nothing, and the next save leaves no file of its own behind.
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "describe_setup.h"
#include "model/setup_document.h"
#include "replaced_calls.h"
#include "scratch_directory.h"
#include "setup_file_io.h"

namespace korvane::xml {
namespace {

namespace fs = std::filesystem;
using model::SetupDocument;
using testing::DescribeSetup;
using testing::Listing;
using testing::ReplacedCalls;
using testing::ScratchDirectory;

constexpr uid_t kNobody = 65534;
constexpr int kEnded = 99;  // the exit status of a child ended at its chosen step
int stepsLeft = 0;          // in the child: steps until the one it is ended at
platform::PosixCalls system;

void CountStep() {
    if (--stepsLeft == 0) _exit(kEnded);
}

// A write ended halfway: half the bytes reach the file.
ssize_t EndingWrite(int descriptor, const void* data, std::size_t size, off_t offset) {
    if (stepsLeft == 1) {
        system.pwrite(descriptor, data, size / 2, offset);
        _exit(kEnded);
    }
    --stepsLeft;
    return system.pwrite(descriptor, data, size, offset);
}
int EndingTruncate(int descriptor, off_t size) {
    CountStep();
    return system.ftruncate(descriptor, size);
}
int EndingSync(int descriptor) {
    CountStep();
    return system.fsync(descriptor);
}
int EndingRename(int fromFolder, const char* from, int toFolder, const char* to) {
    CountStep();
    return system.renameat(fromFolder, from, toFolder, to);
}
int EndingRemove(int folder, const char* name, int flags) {
    CountStep();
    return system.unlinkat(folder, name, flags);
}

// Saves `setup` to `path` in a child process that is ended at its `step`th step; the child's
// exit status (kEnded when it was ended, 0 when the save succeeded before).
// With `asNobody`, the child saves as the user and group nobody; `step` 0 ends it nowhere.
int SaveEndedAt(const SetupDocument& setup, const std::string& path, int step,
                bool asNobody = false) {
    const pid_t child = fork();
    if (child == 0) {
        if (asNobody && (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 ||
                         setuid(kNobody) != 0)) {
            _exit(2);
        }
        const ReplacedCalls calls;
        system = calls.original();
        stepsLeft = step;
        platform::SystemCalls().pwrite = EndingWrite;
        platform::SystemCalls().ftruncate = EndingTruncate;
        platform::SystemCalls().fsync = EndingSync;
        platform::SystemCalls().renameat = EndingRename;
        platform::SystemCalls().unlinkat = EndingRemove;
        _exit(SaveFile(setup, path) == 1 ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The file's old contents, written into it (so it keeps its inode and hard links).
void WriteInPlace(const std::string& path, const std::string& contents) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << contents;
}

class KilledSave : public ::testing::Test {
  protected:
    KilledSave() {
        older_.AddElementField("NAME", "old");
        for (int item = 0; item < 200; ++item)
            older_.AddCommand(model::CommandKind::PostExecute, "old-" + std::to_string(item));
        newer_.AddElementField("NAME", "new");
        for (int item = 0; item < 150; ++item)
            newer_.AddCommand(model::CommandKind::PreExecute, "new-" + std::to_string(item));
    }

    // The description in the file at `path`, which must load.
    std::string Loaded(const std::string& path) {
        SetupDocument loaded;
        EXPECT_EQ(LoadFile(loaded, path), 1) << path;
        return DescribeSetup(loaded);
    }

    ScratchDirectory directory_;
    SetupDocument older_, newer_;
};

TEST_F(KilledSave, LeavesTheOldOrTheNewDescriptionAndTheNextSaveCleansUp) {
    fs::create_directory("t");
    ASSERT_EQ(SaveFile(older_, "t/setup.xml"), 1);
    const std::string oldBytes = directory_.Read("t/setup.xml");
    fs::create_hard_link("t/setup.xml", "t/other.xml");
    const std::string oldText = DescribeSetup(older_), newText = DescribeSetup(newer_);

    int step = 1;
    int endedWithOld = 0, endedWithNew = 0;
    for (; step < 100; ++step) {
        const int status = SaveEndedAt(newer_, "t/setup.xml", step);
        if (status == 0) break;
        ASSERT_EQ(status, kEnded) << step;
        const std::string before = Listing("t");
        const std::string seen = Loaded("t/setup.xml");
        EXPECT_TRUE(seen == oldText || seen == newText) << "ended at step " << step;
        endedWithOld += seen == oldText;
        endedWithNew += seen == newText;
        EXPECT_EQ(Loaded("t/other.xml"), seen) << step;
        EXPECT_EQ(Listing("t"), before) << "a load wrote something, step " << step;

        ASSERT_EQ(SaveFile(newer_, "t/setup.xml"), 1) << step;
        EXPECT_EQ(Loaded("t/other.xml"), newText) << step;
        EXPECT_EQ(Listing("t"), "other.xml setup.xml ") << "after step " << step;
        WriteInPlace("t/setup.xml", oldBytes);
    }
    EXPECT_LT(step, 100);
    // Ended before the journal was complete, and after the new contents were in place.
    EXPECT_GT(endedWithOld, 3);
    EXPECT_GT(endedWithNew, 0);
    EXPECT_EQ(directory_.Listing(), "t ");
}

TEST_F(KilledSave, AJournalLeftBehindIsPutBackBeforeTheNextSaveWrites) {
    fs::create_directory("t");
    ASSERT_EQ(SaveFile(older_, "t/setup.xml"), 1);
    const std::string oldBytes = directory_.Read("t/setup.xml");
    fs::create_hard_link("t/setup.xml", "t/other.xml");
    // Ended halfway through writing the new contents: the file itself is torn.
    int step = 1;
    for (; step < 100; ++step) {
        ASSERT_EQ(SaveEndedAt(newer_, "t/setup.xml", step), kEnded);
        if (directory_.Read("t/setup.xml") != oldBytes) break;
    }
    ASSERT_LT(step, 100);
    EXPECT_EQ(Loaded("t/setup.xml"), DescribeSetup(older_));
    // A save that fails before it writes leaves the journal for the next one.
    directory_.Write("indent.xsl", "not a stylesheet");
    EXPECT_EQ(SaveFile(newer_, "t/setup.xml"), 0);
    EXPECT_EQ(Loaded("t/other.xml"), DescribeSetup(older_));
    fs::copy_file(KORVANE_INDENT_XSL, "indent.xsl", fs::copy_options::overwrite_existing);
    // A save that writes in place puts the old contents back first, and then writes.
    ASSERT_EQ(SaveFile(newer_, "t/setup.xml"), 1);
    EXPECT_EQ(Loaded("t/setup.xml"), DescribeSetup(newer_));
    EXPECT_EQ(Listing("t"), "other.xml setup.xml ");
}

// Where the file's folder cannot be written, no journal can be kept beside it: the old content
// goes to the system's temporary folder, and a save ended while writing can leave the file half
// written, with that copy the one place the old content is found.
TEST_F(KilledSave, InAFolderThatCannotBeWrittenTheOldContentIsLeftInTheTemporaryFolder) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to act as a second user";
    ASSERT_EQ(chown(".", kNobody, kNobody), 0);
    fs::create_directory("tmp");
    ASSERT_EQ(chown("tmp", kNobody, kNobody), 0);
    fs::create_directory("locked");
    ASSERT_EQ(SaveFile(older_, "locked/mine.xml"), 1);
    ASSERT_EQ(chown("locked/mine.xml", kNobody, kNobody), 0);
    const std::string oldBytes = directory_.Read("locked/mine.xml");
    setenv("TMPDIR", (directory_.path() / "tmp").c_str(), 1);

    bool tornSeen = false;
    int step = 1;
    for (; step < 100; ++step) {
        const int status = SaveEndedAt(newer_, "locked/mine.xml", step, true);
        if (status == 0) break;
        ASSERT_EQ(status, kEnded) << step;
        SetupDocument loaded;
        if (LoadFile(loaded, "locked/mine.xml") == 0) {
            tornSeen = true;
            ASSERT_EQ(Listing("tmp").size(), std::string(".korvane-12345678 ").size()) << step;
            EXPECT_EQ(directory_.Read("tmp/" + Listing("tmp").substr(0, 17)), oldBytes);
        }
        // The next save writes the new content whole; the copy stays where it was left.
        ASSERT_EQ(SaveEndedAt(newer_, "locked/mine.xml", 0, true), 0) << step;
        EXPECT_EQ(Loaded("locked/mine.xml"), DescribeSetup(newer_));
        EXPECT_EQ(Listing("locked"), "mine.xml ");
        fs::remove_all("tmp");
        fs::create_directory("tmp");
        ASSERT_EQ(chown("tmp", kNobody, kNobody), 0);
        WriteInPlace("locked/mine.xml", oldBytes);
    }
    unsetenv("TMPDIR");
    EXPECT_LT(step, 100);
    EXPECT_TRUE(tornSeen);
}

}  // namespace
}  // namespace korvane::xml
