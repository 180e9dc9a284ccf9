// Saves that run at the same time in the same current folder: each has a scratch file of its
// own, neither disturbs the other, and no scratch file is left behind.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "describe_setup.h"
#include "model/setup_document.h"
#include "replaced_calls.h"
#include "scratch_directory.h"
#include "setup_file_io.h"

namespace korvane::xml {
namespace {

using model::SetupDocument;
using testing::DescribeSetup;
using testing::ReplacedCalls;
using testing::ScratchDirectory;

// Holds two saves at the creation of their scratch files so that both exist at once: the first
// save to get there waits until the second has created its own, and then, once its own is
// created too, until the second save has returned (so the two never run the stylesheet step
// together).
struct Interleaving {
    std::mutex mutex;
    std::condition_variable changed;
    int arrived = 0;
    bool secondCreated = false;
    bool firstCreated = false;
    std::thread::id second;
    std::vector<std::thread::id> returned;
    platform::PosixCalls original{};

    void Wait(const bool& flag) {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait(lock, [&] { return flag; });
    }
    // A save of the calling thread returned.
    void Returned() {
        std::lock_guard<std::mutex> lock(mutex);
        returned.push_back(std::this_thread::get_id());
        changed.notify_all();
    }
    void Set(bool& flag) {
        std::lock_guard<std::mutex> lock(mutex);
        flag = true;
        changed.notify_all();
    }
};
Interleaving* interleaving = nullptr;

int HeldOpen(int folder, const char* name, int flags, mode_t mode) {
    Interleaving& state = *interleaving;
    if ((flags & O_EXCL) == 0 || std::strncmp(name, "temp", 4) != 0)
        return state.original.openat(folder, name, flags, mode);
    bool first;
    {
        std::lock_guard<std::mutex> lock(state.mutex);
        first = state.arrived++ == 0;
        if (!first) state.second = std::this_thread::get_id();
    }
    if (!first) {
        const int file = state.original.openat(folder, name, flags, mode);
        state.Set(state.secondCreated);
        state.Wait(state.firstCreated);
        return file;
    }
    state.Wait(state.secondCreated);
    const int file = state.original.openat(folder, name, flags, mode);
    const int error = errno;
    state.Set(state.firstCreated);
    {
        std::unique_lock<std::mutex> lock(state.mutex);
        state.changed.wait(lock, [&] {
            return std::find(state.returned.begin(), state.returned.end(), state.second) !=
                   state.returned.end();
        });
    }
    errno = error;
    return file;
}

TEST(SavesSideBySide, TwoSavesWhoseScratchFilesExistAtOnceBothSucceed) {
    ScratchDirectory directory;
    directory.Write("temp.xml", "an older program's scratch file");
    SetupDocument one, two;
    one.AddElementField("NAME", "one");
    two.AddElementField("NAME", "two");
    Interleaving state;
    int oneResult = -1, twoResult = -1;
    {
        const ReplacedCalls calls;
        state.original = calls.original();
        interleaving = &state;
        platform::SystemCalls().openat = HeldOpen;
        std::thread other([&] {
            oneResult = SaveFile(one, "one.xml");
            state.Returned();
        });
        twoResult = SaveFile(two, "two.xml");
        state.Returned();
        other.join();
        interleaving = nullptr;
    }

    EXPECT_EQ(state.arrived, 2);
    EXPECT_EQ(oneResult, 1);
    EXPECT_EQ(twoResult, 1);
    SetupDocument loaded;
    ASSERT_EQ(LoadFile(loaded, "one.xml"), 1);
    EXPECT_EQ(DescribeSetup(loaded), DescribeSetup(one));
    ASSERT_EQ(LoadFile(loaded, "two.xml"), 1);
    EXPECT_EQ(DescribeSetup(loaded), DescribeSetup(two));
    // The older program's file is not the library's to remove or replace.
    EXPECT_EQ(directory.Read("temp.xml"), "an older program's scratch file");
    EXPECT_EQ(directory.Listing(), "one.xml temp.xml two.xml ");
}

TEST(SavesSideBySide, TwoProcessesSavingAtOnceNeverFail) {
    ScratchDirectory directory;
    constexpr int kSaves = 200;
    pid_t children[2];
    for (int child = 0; child < 2; ++child) {
        children[child] = fork();
        if (children[child] == 0) {
            SetupDocument setup;
            setup.AddElementField("NAME", "child " + std::to_string(child));
            const std::string target = "out-" + std::to_string(child) + ".xml";
            int failures = 0;
            for (int save = 0; save < kSaves; ++save) failures += SaveFile(setup, target) == 1 ? 0 : 1;
            _exit(failures > 255 ? 255 : failures);
        }
    }
    for (const pid_t child : children) {
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0) << "saves that failed";
    }
    EXPECT_EQ(directory.Listing(), "out-0.xml out-1.xml ");
}

}  // namespace
}  // namespace korvane::xml
