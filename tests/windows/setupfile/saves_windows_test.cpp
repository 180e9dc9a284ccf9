// Saves on Windows in the company of other saves and of the stylesheet: two processes saving in
// one current folder never fail and leave no scratch file, and the stylesheet is never saved
// over.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>

#include "model/setup_document.h"
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
