// What the Windows system answers through the platform seams: folders, version resources and
// file times, compared with the system's own calls and with the library's portable PE reader.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "pe_fixtures.h"
#include "peversion/pe_version_reader.h"
#include "peversion/version_block.h"
#include "platform/file_times.h"
#include "platform/shell_folders.h"
#include "platform/version_resource.h"
#include "scratch_directory.h"

namespace {

using namespace korvane::peversion;
using namespace korvane::platform;

std::string Lower(std::string text) {
    CharLowerBuffA(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

TEST(WindowsShellFolders, AnswerAsTheSystemDoes) {
    char windows[MAX_PATH + 1], system[MAX_PATH + 1];
    ASSERT_GT(GetWindowsDirectoryA(windows, MAX_PATH), 0u);
    ASSERT_GT(GetSystemDirectoryA(system, MAX_PATH), 0u);
    const ShellFolders& folders = SystemShellFolders();
    EXPECT_EQ(folders.WindowsDirectory(), windows);
    EXPECT_EQ(folders.SystemDirectory(), system);
    EXPECT_EQ(Lower(folders.FolderPath(0x24)), Lower(windows));  // CSIDL_WINDOWS
    EXPECT_EQ(Lower(folders.FolderPath(0x25)), Lower(system));   // CSIDL_SYSTEM
    for (const int csidl : {0x10, 0x1a, 0x26}) {  // desktop, application data, program files
        const std::string path = folders.FolderPath(csidl);
        EXPECT_TRUE(std::filesystem::is_directory(path)) << csidl << " " << path;
        EXPECT_NE(path.back(), '\\') << csidl;
    }
    EXPECT_EQ(folders.FolderPath(0x7f), "");  // no such folder
}

// The version resource of a fixture as the portable PE reader finds it.
std::optional<std::vector<unsigned char>> PortableBlock(const std::string& name) {
    const std::vector<unsigned char> image = korvane::testing::PeFixtureBytes(name);
    return ReadPeVersionResource(MemoryByteSource(image.data(), image.size()));
}

std::string Ascii(const std::u16string& text) {
    return std::string(text.begin(), text.end());
}

TEST(WindowsVersionResources, ReadWhatThePortableReaderReads) {
    const VersionResources& resources = SystemVersionResources();
    for (const char* name : {"no-version.dll", "no-resources-pe32plus.dll", "version-1001.dll",
                             "version-build-pe32plus.dll", "version-empty-translation.dll",
                             "version-second-translation.dll", "version-spaces.dll"}) {
        SCOPED_TRACE(name);
        const std::string path = korvane::testing::PeFixturePath(name);
        const auto portable = PortableBlock(name);
        const std::uint32_t size = resources.InfoSize(path);
        ASSERT_EQ(size > 0, portable.has_value());
        if (!portable) continue;
        std::vector<unsigned char> block(size + 1, 0);
        ASSERT_TRUE(resources.ReadInfo(path, size, block));

        std::vector<Translation> table, expectedTable;
        ASSERT_TRUE(resources.QueryTranslations(block, table));
        const auto translations = FindVersionValue(*portable, "\\VarFileInfo\\Translation");
        ASSERT_TRUE(translations.has_value());
        expectedTable = VersionTranslations(*portable, *translations);
        ASSERT_EQ(table.size(), expectedTable.size());
        for (std::size_t i = 0; i < table.size(); ++i) {
            EXPECT_EQ(table[i].language, expectedTable[i].language);
            EXPECT_EQ(table[i].codePage, expectedTable[i].codePage);
        }
        for (const char* key : {"040904b0", "040904e4", "041203b5"}) {
            const std::string query = std::string("\\StringFileInfo\\") + key + "\\FileVersion";
            std::string text;
            const auto expected = FindVersionValue(*portable, query);
            EXPECT_EQ(resources.QueryString(block, query, text), expected.has_value()) << key;
            if (expected) {
                EXPECT_EQ(text, Ascii(VersionText(*portable, *expected))) << key;
            }
        }
    }
}

TEST(WindowsFileTimes, LastWriteTimeInUtcWhateverTheZone) {
    const korvane::testing::ScratchDirectory directory(false);
    const std::string path = directory.Write("stamped.dll", "MZ");
    {
        const HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        const SYSTEMTIME utc = {2007, 3, 1, 5, 14, 9, 3, 0};  // 5 March 2007, 14:09:03 UTC
        FILETIME written;
        ASSERT_TRUE(SystemTimeToFileTime(&utc, &written));
        EXPECT_TRUE(SetFileTime(file, nullptr, nullptr, &written));
        CloseHandle(file);
    }
    CalendarTime time{};
    ASSERT_TRUE(SystemFileTimes().LastWriteTimeUtc(path, time));
    EXPECT_EQ(time.year, 2007);
    EXPECT_EQ(time.month, 3);
    EXPECT_EQ(time.day, 5);
    EXPECT_EQ(time.hour, 14);
    EXPECT_EQ(time.minute, 9);
    EXPECT_EQ(time.second, 3);

    // Held open elsewhere, even for reading only: the file cannot be opened without sharing.
    const HANDLE holder = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(SystemFileTimes().LastWriteTimeUtc(path, time));
    CloseHandle(holder);
    EXPECT_FALSE(SystemFileTimes().LastWriteTimeUtc(directory.path().string(), time));
    EXPECT_FALSE(SystemFileTimes().LastWriteTimeUtc(path + ".missing", time));
}

}  // namespace
