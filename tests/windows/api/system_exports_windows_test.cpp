// The system exports as a caller on Windows sees them: real folders of the running system,
// and version texts read by the system's version library.
#include <gtest/gtest.h>
#include <windows.h>

#include <regex>
#include <string>
#include <vector>

#include "guarded_buffer.h"
#include "korvane.h"
#include "pe_fixtures.h"

namespace {

using korvane::testing::GuardedBuffer;

std::string WindowsFolder() {
    char folder[MAX_PATH + 1];
    GetWindowsDirectoryA(folder, MAX_PATH);
    return folder;
}

std::string Folder(int32_t kind, int32_t allUsers) {
    GuardedBuffer path(KORVANE_FOLDER_SIZE);
    EXPECT_EQ(GetSpcialDirectoryInCurrentSystem(kind, allUsers, path.data()), 0);
    EXPECT_TRUE(path.GuardIntact());
    return path.text();
}

TEST(WindowsSystemExports, SpecialFoldersAreTheSystemsOwn) {
    const std::string windows = WindowsFolder();
    EXPECT_EQ(CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, Folder(2, 0).c_str(), -1,
                             (windows + "\\").c_str(), -1),
              CSTR_EQUAL);
    EXPECT_EQ(Folder(4, 1), windows.substr(0, 2) + "\\");
    for (const int32_t kind : {0, 1, 3, 5, 6}) {
        const std::string folder = Folder(kind, 0);
        ASSERT_FALSE(folder.empty()) << kind;
        EXPECT_EQ(folder.back(), '\\') << kind;
        EXPECT_NE(GetFileAttributesA(folder.c_str()), INVALID_FILE_ATTRIBUTES) << folder;
    }
    EXPECT_NE(Folder(1, 0), Folder(1, 1));
    EXPECT_EQ(Folder(7, 0), "");
    EXPECT_EQ(Folder(-1, 1), "");
}

TEST(WindowsSystemExports, InstallationPathsUnderTheWindowsFolder) {
    GuardedBuffer path(KORVANE_FOLDER_SIZE + 16);
    const std::string expected = Folder(2, 0) + "INSTALLTEMP\\";
    EXPECT_EQ(GetTempInstallPath(path.data()), static_cast<int32_t>(expected.size()));
    EXPECT_EQ(path.text(), expected);
    EXPECT_EQ(GetProtectedFilePath(path.data(), ""), static_cast<int32_t>(Folder(2, 0).size()) + 1);
    EXPECT_EQ(path.text(), Folder(2, 0) + "\\");
}

TEST(WindowsSystemExports, VersionTextsAndTheirFallback) {
    const std::string versioned = korvane::testing::PeFixturePath("version-1001.dll");
    GuardedBuffer version(KORVANE_VERSION_TEXT_SIZE);
    EXPECT_EQ(GetTargetFileVersion(versioned.c_str(), version.data()), 1);
    EXPECT_EQ(version.text(), "1.0.0.1");

    const std::string plain = korvane::testing::PeFixturePath("no-version.dll");
    GuardedBuffer stamp(20);
    EXPECT_EQ(GetTargetFileVersion(plain.c_str(), stamp.data()), 1);
    EXPECT_TRUE(std::regex_match(stamp.text(), std::regex(R"(T\.\d{8}\.\d{6}\.0)")))
        << stamp.text();

    // Held open by another handle: the time-stamp fallback cannot open the file.
    const HANDLE holder = CreateFileA(plain.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    GuardedBuffer held(20);
    EXPECT_EQ(GetTargetFileVersion(plain.c_str(), held.data()), 0);
    EXPECT_TRUE(held.Untouched());
    CloseHandle(holder);
}

std::string OwnDllPath() {
    char path[MAX_PATH + 1] = {};
    GetModuleFileNameA(GetModuleHandleA("Korvane.dll"), path, MAX_PATH);
    return path;
}

std::string HeaderVersion() {
    return std::to_string(KORVANE_VERSION_MAJOR) + "." + std::to_string(KORVANE_VERSION_MINOR) +
           "." + std::to_string(KORVANE_VERSION_PATCH);
}

// Korvane.dll carries the version korvane.h declares, read through its own export and through
// the system's version library.
TEST(WindowsSystemExports, TheDllCarriesTheHeadersVersion) {
    const std::string dll = OwnDllPath();
    ASSERT_FALSE(dll.empty());
    GuardedBuffer version(KORVANE_VERSION_TEXT_SIZE);
    EXPECT_EQ(GetTargetFileVersion(dll.c_str(), version.data()), 1);
    EXPECT_EQ(version.text(), HeaderVersion());
    EXPECT_EQ(version.text(), KORVANE_VERSION);

    const DWORD size = GetFileVersionInfoSizeA(dll.c_str(), nullptr);
    ASSERT_NE(size, 0u);
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoA(dll.c_str(), 0, size, info.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS,
              static_cast<DWORD>(MAKELONG(KORVANE_VERSION_MINOR, KORVANE_VERSION_MAJOR)));
    EXPECT_EQ(fixed->dwFileVersionLS, static_cast<DWORD>(MAKELONG(0, KORVANE_VERSION_PATCH)));
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
    EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);

    const auto text = [&](const char* name) {
        char* value = nullptr;
        const std::string query = std::string("\\StringFileInfo\\040904B0\\") + name;
        if (!VerQueryValueA(info.data(), query.c_str(), reinterpret_cast<void**>(&value),
                            &length)) {
            return std::string("(missing)");
        }
        return std::string(value);
    };
    EXPECT_EQ(text("ProductVersion"), HeaderVersion());
    EXPECT_EQ(text("FileDescription"), "Korvane setup description library (" +
                                           std::to_string(sizeof(void*) * 8) + "-bit)");
    EXPECT_EQ(text("ProductName"), "Korvane");
    EXPECT_EQ(text("OriginalFilename"), "Korvane.dll");
    EXPECT_EQ(text("InternalName"), "Korvane");
    EXPECT_NE(text("LegalCopyright").find("MIT"), std::string::npos);
}

}  // namespace
