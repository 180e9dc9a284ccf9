// Two threads calling the exports at once, against the shared library: each call waits for the
// other thread's call to end, so every entry read back is whole and every save and load works.
// Run under ThreadSanitizer as well (scripts/test.sh --thread), which reports any access to the
// description that the lock does not cover.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "korvane.h"
#include "scratch_directory.h"

namespace {

using korvane::testing::ScratchDirectory;

constexpr int kCallsPerThread = 10000;
// Loads, saves and the system's folders are slow (under Wine above all): one of each in a
// thousand calls. The rest are operations on the tables.
constexpr int kSlowEvery = 1000;

std::string Numbered(const char* prefix, int n) {
    return prefix + std::to_string(n);
}

// The calls of one thread. `n` numbers what it adds, so that a reader can tell an entry whose
// fields were written for one number from one torn between two.
class Caller {
  public:
    explicit Caller(int seed) : seed_(seed) {}

    // Both threads start calling at the same moment, so that their calls overlap.
    void Run(std::atomic<int>& waiting) {
        waiting.fetch_sub(1);
        while (waiting.load() > 0) std::this_thread::yield();
        for (int call = 0; call < kCallsPerThread; ++call) Call(call);
    }

    // What went wrong, one line each; empty when nothing did.
    const std::string& failures() const { return failures_; }

  private:
    void Fail(const std::string& what) {
        if (failures_.size() < 2000) failures_ += what + "\n";
    }

    void Call(int call) {
        const int n = seed_ * kCallsPerThread + call;
        if (call % kSlowEvery == kSlowEvery - 1) {
            // One thread saves and the other loads the same file, which the test saved first.
            if (seed_ == 0 && SaveSetupFile("shared.xml") != 1) Fail("save failed");
            if (seed_ == 1 && LoadSetupFile("shared.xml") != 1) Fail("load failed");
            return;
        }
        if (call % kSlowEvery == kSlowEvery / 2) {
            char path[KORVANE_TEMP_INSTALL_PATH_SIZE], folder[KORVANE_FOLDER_SIZE];
            GetTempInstallPath(path);
            GetProtectedFilePath(path, "x.dll");
            GetSpcialDirectoryInCurrentSystem(0, 0, folder);
            return;
        }
        if (call % 2000 == 0) {
            ClearInMemory();
            return;
        }
        const int index = (call * 7) % 50;
        switch ((call + seed_) % 12) {
            case 0:
                SetFileInfo(Numbered("s", n).c_str(), Numbered("f", n).c_str(), "folder", "1.0",
                            "os", "", "display", 0, 1, 1, n, 0, 0);
                break;
            case 1:
                ReadFile(index);
                break;
            case 2:
                SetRegistryInfo(Numbered("r", n).c_str(), Numbered("k", n).c_str(), n, "value", 1);
                break;
            case 3:
                ReadRegistry(index);
                break;
            case 4:
                SetPreKillProcess(Numbered("c", n).c_str(), Numbered("t", n).c_str());
                SetPostExecute(Numbered("x", n).c_str());
                break;
            case 5:
                ReadKillAndCommand(index);
                break;
            case 6:
                SetReservedWord(Numbered("[W", n % 64).c_str(), Numbered("m", n % 64).c_str(), "");
                break;
            case 7:
                ReadReservedWord(index);
                break;
            case 8:
                SetElementField(Numbered("F", n % 64).c_str(), Numbered("v", n % 64).c_str());
                break;
            case 9:
                ReadElementField(n % 64);
                break;
            case 10:
                Expand();
                break;
            default:
                Counts();
                break;
        }
    }

    void ReadFile(int index) {
        char src[KORVANE_PATH_SIZE], name[KORVANE_PATH_SIZE], folder[KORVANE_PATH_SIZE],
            version[KORVANE_VERSION_TEXT_SIZE], os[KORVANE_TARGET_OS_SIZE],
            shortcut[KORVANE_SHORTCUT_SIZE], display[KORVANE_DISPLAY_NAME_SIZE];
        int32_t icon = 0, selfReg = 0, overwrite = 0, size = 0, realTime = 0, reboot = 0;
        if (GetFileInfo(index, src, name, folder, version, os, shortcut, display, &icon, &selfReg,
                        &overwrite, &size, &realTime, &reboot) != 1)
            return;
        if (src != Numbered("s", size) || name != Numbered("f", size) ||
            std::string(folder) != "folder")
            Fail("torn file entry " + std::string(src) + " " + name + " " + std::to_string(size));
    }

    void ReadRegistry(int index) {
        char path[KORVANE_TEXT_SIZE], key[KORVANE_TEXT_SIZE], value[KORVANE_TEXT_SIZE];
        int32_t type = 0, action = 0;
        if (GetRegistryInfo(index, path, key, &type, value, &action) != 1) return;
        if (path != Numbered("r", type) || key != Numbered("k", type))
            Fail("torn registry entry " + std::string(path) + " " + key);
    }

    void ReadKillAndCommand(int index) {
        char className[KORVANE_TEXT_SIZE], title[KORVANE_TEXT_SIZE], command[KORVANE_TEXT_SIZE];
        if (GetPreKillProcess(index, className, title) == 1 &&
            std::string(className).substr(1) != std::string(title).substr(1))
            Fail("torn kill entry " + std::string(className) + " " + title);
        if (GetPostExecute(index, command) == 1 && command[0] != 'x')
            Fail("wrong command " + std::string(command));
    }

    void ReadReservedWord(int index) {
        char word[KORVANE_TEXT_SIZE], meaning[KORVANE_TEXT_SIZE];
        if (GetReservedWord(index, word, meaning) != 1) return;
        if (std::string(word).substr(2) != std::string(meaning).substr(1))
            Fail("torn reserved word " + std::string(word) + " " + meaning);
    }

    void ReadElementField(int n) {
        char value[KORVANE_TEXT_SIZE];
        // Absent, it is added empty; present, it holds what was set.
        if (GetElementField(Numbered("F", n).c_str(), value) != 1 ||
            (value[0] != '\0' && value != Numbered("v", n)))
            Fail("wrong field value " + std::string(value));
    }

    void Expand() {
        char real[KORVANE_TEXT_SIZE];
        SetupPathToRealPath("[W3]\\sub\\[W7]", real);
    }

    void Counts() {
        const int32_t counts[] = {
            GetFileCount(),           GetRegistryCount(),      GetReservedWordCount(),
            GetPreKillProcessCount(), GetUpKillProcessCount(), GetPreExecuteCount(),
            GetPostExecuteCount(),    GetUpdateExecuteCount(), GetDeleteExecuteCount()};
        for (const int32_t count : counts) {
            if (count < 0) Fail("negative count");
        }
    }

    int seed_;
    std::string failures_;
};

TEST(ConcurrentCalls, TwoThreadsSeeWholeEntriesAndWorkingSaves) {
    ScratchDirectory directory;
    ClearInMemory();
    ASSERT_EQ(SaveSetupFile("shared.xml"), 1);

    Caller first(0), second(1);
    std::atomic<int> waiting{2};
    std::thread other([&] { second.Run(waiting); });
    first.Run(waiting);
    other.join();

    EXPECT_EQ(first.failures(), "");
    EXPECT_EQ(second.failures(), "");
    // The saved file is whole: it loads.
    EXPECT_EQ(LoadSetupFile("shared.xml"), 1);
    EXPECT_EQ(directory.Listing(), "shared.xml ");
    ClearInMemory();
}

}  // namespace
