// Saves on Windows in the company of other saves and of the stylesheet: two processes saving in
// one current folder never fail and leave no scratch file, and the stylesheet is never saved
// over.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <condition_variable>
#include <cwchar>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "describe_setup.h"
#include "model/setup_document.h"
#include "platform/system_calls_windows.h"
#include "scratch_directory.h"
#include "setup_file_io.h"
#include "setupfile/setup_file.h"

namespace {

using korvane::model::SetupDocument;
using korvane::setupfile::SaveResult;
using korvane::setupfile::SaveSetupFile;

constexpr int kSaves = 20;

// Run in a child process: saves kSaves times to the file named in KORVANE_SAVE_TARGET, and ends
// the process with the number of saves that failed.
TEST(WindowsSaves, DISABLED_SavesRepeatedly) {
    char target[MAX_PATH] = {};
    ASSERT_GT(GetEnvironmentVariableA("KORVANE_SAVE_TARGET", target, MAX_PATH), 0u);
    SetupDocument setup;
    setup.AddElementField("NAME", target);
    UINT failures = 0;
    for (int save = 0; save < kSaves; ++save) failures += SaveFile(setup, target) == 1 ? 0 : 1;
    ExitProcess(failures);
}

// Starts this program in `folder` to run DISABLED_SavesRepeatedly on `target`.
PROCESS_INFORMATION StartSaver(const std::wstring& folder, const char* target) {
    wchar_t program[MAX_PATH];
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(program) +
                           L"\" --gtest_filter=WindowsSaves.DISABLED_SavesRepeatedly "
                           L"--gtest_also_run_disabled_tests";
    SetEnvironmentVariableA("KORVANE_SAVE_TARGET", target);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    EXPECT_TRUE(CreateProcessW(program, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               folder.c_str(), &startup, &process));
    SetEnvironmentVariableA("KORVANE_SAVE_TARGET", nullptr);
    return process;
}

TEST(WindowsSaves, TwoProcessesSavingAtOnceNeverFail) {
    korvane::testing::ScratchDirectory directory;
    directory.Write("temp.xml", "an older program's scratch file");
    const PROCESS_INFORMATION savers[] = {StartSaver(directory.path().wstring(), "one.xml"),
                                          StartSaver(directory.path().wstring(), "two.xml")};
    for (const PROCESS_INFORMATION& saver : savers) {
        ASSERT_EQ(WaitForSingleObject(saver.hProcess, 120000), WAIT_OBJECT_0);
        DWORD failures = 0;
        GetExitCodeProcess(saver.hProcess, &failures);
        EXPECT_EQ(failures, 0u) << "saves that failed";
        CloseHandle(saver.hThread);
        CloseHandle(saver.hProcess);
    }
    EXPECT_EQ(directory.Read("temp.xml"), "an older program's scratch file");
    EXPECT_EQ(directory.Listing(), "one.xml temp.xml two.xml ");
}

// Holds two saves at the creation of their scratch files so that both exist at once: the first
// save to get there waits until the second has created its own, and then, once its own is
// created too, until the second save has returned.
struct Interleaving {
    std::mutex mutex;
    std::condition_variable changed;
    int arrived = 0;
    bool secondCreated = false;
    bool firstCreated = false;
    std::thread::id second;
    std::vector<std::thread::id> returned;
    korvane::platform::WindowsCalls original{};

    template <typename Condition>
    void Wait(Condition condition) {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait(lock, condition);
    }
    void Set(bool& flag) {
        std::lock_guard<std::mutex> lock(mutex);
        flag = true;
        changed.notify_all();
    }
    void Returned() {
        std::lock_guard<std::mutex> lock(mutex);
        returned.push_back(std::this_thread::get_id());
        changed.notify_all();
    }
};
Interleaving* interleaving = nullptr;

HANDLE WINAPI HeldCreate(LPCWSTR name, DWORD access, DWORD sharing, LPSECURITY_ATTRIBUTES security,
                         DWORD disposition, DWORD flags, HANDLE model) {
    Interleaving& state = *interleaving;
    if (disposition != CREATE_NEW || std::wcsncmp(name, L"temp", 4) != 0)
        return state.original.createFile(name, access, sharing, security, disposition, flags, model);
    bool first;
    {
        std::lock_guard<std::mutex> lock(state.mutex);
        first = state.arrived++ == 0;
        if (!first) state.second = std::this_thread::get_id();
    }
    if (!first) {
        const HANDLE file =
            state.original.createFile(name, access, sharing, security, disposition, flags, model);
        const DWORD error = GetLastError();
        state.Set(state.secondCreated);
        state.Wait([&] { return state.firstCreated; });
        SetLastError(error);
        return file;
    }
    state.Wait([&] { return state.secondCreated; });
    const HANDLE file =
        state.original.createFile(name, access, sharing, security, disposition, flags, model);
    const DWORD error = GetLastError();
    state.Set(state.firstCreated);
    state.Wait([&] {
        return std::find(state.returned.begin(), state.returned.end(), state.second) !=
               state.returned.end();
    });
    SetLastError(error);
    return file;
}

TEST(WindowsSaves, TwoSavesWhoseScratchFilesExistAtOnceBothSucceed) {
    korvane::testing::ScratchDirectory directory;
    SetupDocument one, two;
    one.AddElementField("NAME", "one");
    two.AddElementField("NAME", "two");
    Interleaving state;
    int oneResult = -1, twoResult = -1;
    {
        korvane::platform::WindowsCalls& calls = korvane::platform::SystemCalls();
        state.original = calls;
        interleaving = &state;
        calls.createFile = HeldCreate;
        std::thread other([&] {
            oneResult = SaveFile(one, "one.xml");
            state.Returned();
        });
        twoResult = SaveFile(two, "two.xml");
        state.Returned();
        other.join();
        calls = state.original;
        interleaving = nullptr;
    }
    EXPECT_EQ(state.arrived, 2);
    EXPECT_EQ(oneResult, 1);
    EXPECT_EQ(twoResult, 1);
    SetupDocument loaded;
    ASSERT_EQ(LoadFile(loaded, "one.xml"), 1);
    EXPECT_EQ(korvane::testing::DescribeSetup(loaded), korvane::testing::DescribeSetup(one));
    ASSERT_EQ(LoadFile(loaded, "two.xml"), 1);
    EXPECT_EQ(korvane::testing::DescribeSetup(loaded), korvane::testing::DescribeSetup(two));
    EXPECT_EQ(directory.Listing(), "one.xml two.xml ");
}

TEST(WindowsSaves, TheStylesheetIsNeverSavedOver) {
    korvane::testing::ScratchDirectory directory;
    const std::string stylesheet = directory.Read("indent.xsl");
    ASSERT_TRUE(CreateHardLinkA("hard.xsl", "indent.xsl", nullptr));
    SetupDocument setup;
    setup.AddElementField("NAME", "saved");
    for (const char* name : {"indent.xsl", "INDENT.XSL", ".\\indent.xsl", "hard.xsl"}) {
        const SaveResult result = SaveSetupFile(setup, name);
        EXPECT_EQ(result.failed, SaveResult::Step::Target) << name;
        EXPECT_EQ(directory.Read("indent.xsl"), stylesheet) << name;
    }
    ASSERT_EQ(SaveFile(setup, "setup.xml"), 1);
    EXPECT_EQ(directory.Listing(), "hard.xsl setup.xml ");
}

}  // namespace
