// The system exports as a caller on a system without Windows folders sees them.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "guarded_buffer.h"
#include "korvane.h"
#include "pe_fixtures.h"

namespace {

using korvane::testing::GuardedBuffer;

std::string Fixture(const char* name) {
    return korvane::testing::PeFixturePath(name);
}

TEST(SystemExports, NoSpecialFolderExistsHereAndThePathBufferIsCleared) {
    for (int32_t kind = -1; kind <= 7; ++kind) {
        for (const int32_t allUsers : {0, 1}) {
            GuardedBuffer path(KORVANE_FOLDER_SIZE);
            EXPECT_EQ(GetSpcialDirectoryInCurrentSystem(kind, allUsers, path.data()), 0);
            for (int i = 0; i < 260; ++i) ASSERT_EQ(path.data()[i], '\0') << kind << " " << i;
            EXPECT_TRUE(path.GuardIntact());
        }
    }
    EXPECT_EQ(GetSpcialDirectoryInCurrentSystem(2, 0, nullptr), 0);
}

TEST(SystemExports, InstallationPathsAreTheBareFolderNames) {
    GuardedBuffer path(273);
    EXPECT_EQ(GetTempInstallPath(path.data()), 12);
    EXPECT_EQ(path.text(), "INSTALLTEMP\\");
    EXPECT_EQ(GetProtectedFilePath(path.data(), "Fonts"), 6);
    EXPECT_EQ(path.text(), "Fonts\\");
    EXPECT_EQ(GetProtectedFilePath(path.data(), nullptr), 1);
    EXPECT_EQ(path.text(), "\\");
    EXPECT_TRUE(path.GuardIntact());
    // A null buffer is not written, and the length still tells the size to provide.
    EXPECT_EQ(GetTempInstallPath(nullptr), 12);
    EXPECT_EQ(GetProtectedFilePath(nullptr, "Fonts"), 6);
}

TEST(SystemExports, VersionTextsOfWindowsFilesAndOthers) {
    GuardedBuffer version(KORVANE_VERSION_TEXT_SIZE);
    EXPECT_EQ(GetTargetFileVersion(Fixture("version-1001.dll").c_str(), version.data()), 1);
    EXPECT_EQ(version.text(), "1.0.0.1");
    EXPECT_TRUE(version.GuardIntact());

    GuardedBuffer stamp(20);
    EXPECT_EQ(GetTargetFileVersion(Fixture("no-version.dll").c_str(), stamp.data()), 1);
    EXPECT_TRUE(std::regex_match(stamp.text(), std::regex(R"(T\.\d{8}\.\d{6}\.0)")))
        << stamp.text();
    EXPECT_TRUE(stamp.GuardIntact());
}

TEST(SystemExports, NoVersionTextLeavesTheBufferAlone) {
    for (const std::string& name :
         {Fixture("version-second-translation.dll"), Fixture("missing.dll"), std::string()}) {
        GuardedBuffer version(KORVANE_VERSION_TEXT_SIZE);
        EXPECT_EQ(GetTargetFileVersion(name.c_str(), version.data()), 0) << name;
        EXPECT_TRUE(version.Untouched()) << name;
    }
    GuardedBuffer version(KORVANE_VERSION_TEXT_SIZE);
    EXPECT_EQ(GetTargetFileVersion(nullptr, version.data()), 0);
    EXPECT_TRUE(version.Untouched());
    EXPECT_EQ(GetTargetFileVersion(Fixture("version-1001.dll").c_str(), nullptr), 1);
}

}  // namespace
