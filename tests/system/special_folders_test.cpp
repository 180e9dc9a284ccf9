// Special folders and installation paths over a scripted machine that answers like Windows.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <map>
#include <string>

#include "guarded_buffer.h"
#include "platform/shell_folders.h"
#include "system/installation_paths.h"
#include "system/special_folders.h"

namespace {

using korvane::system::ResolveSpecialFolder;
using korvane::system::SpecialFolderPath;
using korvane::testing::GuardedBuffer;

class ScriptedMachine : public korvane::platform::ShellFolders {
  public:
    std::map<int, std::string> shell;  // by CSIDL number
    std::string systemDirectory;
    std::string windowsDirectory;

    std::string FolderPath(int csidl) const override {
        const auto found = shell.find(csidl);
        return found != shell.end() ? found->second : std::string();
    }
    std::string SystemDirectory() const override { return systemDirectory; }
    std::string WindowsDirectory() const override { return windowsDirectory; }
};

// The shell knows every folder. The system's own answers name another drive, so that a result
// shows where it came from.
ScriptedMachine WindowsMachine() {
    ScriptedMachine machine;
    machine.shell = {
        {37, "C:\\WINDOWS\\system32"},
        {16, "C:\\Users\\Kim\\Desktop"},
        {25, "C:\\Users\\Public\\Desktop"},
        {36, "C:\\WINDOWS"},
        {11, "C:\\Users\\Kim\\Start Menu"},
        {22, "C:\\ProgramData\\Start Menu"},
        {38, "C:\\Program Files"},
        {26, "C:\\Users\\Kim\\AppData\\Roaming"},
        {35, "C:\\ProgramData"},
    };
    machine.systemDirectory = "D:\\WINNT\\system32";
    machine.windowsDirectory = "D:\\WINNT";
    return machine;
}

struct Row {
    int kind;
    int allUsers;
    const char* expected;
};

TEST(SpecialFolders, EveryKindAsksTheShellFirst) {
    const ScriptedMachine machine = WindowsMachine();
    const Row rows[] = {
        {0, 0, "C:\\WINDOWS\\system32\\"},
        {0, 1, "C:\\WINDOWS\\system32\\"},
        {1, 0, "C:\\Users\\Kim\\Desktop\\"},
        {1, 1, "C:\\Users\\Public\\Desktop\\"},
        {2, 0, "C:\\WINDOWS\\"},
        {2, 1, "C:\\WINDOWS\\"},
        {3, 0, "C:\\Users\\Kim\\Start Menu\\"},
        {3, -7, "C:\\ProgramData\\Start Menu\\"},  // any non-zero flag means all users
        {4, 0, "C:\\"},
        {4, 1, "C:\\"},
        {5, 0, "C:\\Program Files\\"},
        {5, 1, "C:\\Program Files\\"},
        {6, 0, "C:\\Users\\Kim\\AppData\\Roaming\\"},
        {6, 2, "C:\\ProgramData\\"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "kind " << row.kind << ", all users " << row.allUsers);
        EXPECT_EQ(SpecialFolderPath(machine, row.kind, row.allUsers), row.expected);
    }
}

TEST(SpecialFolders, SystemAnswersStandInWhereTheShellHasNone) {
    ScriptedMachine machine = WindowsMachine();
    machine.shell.clear();
    EXPECT_EQ(SpecialFolderPath(machine, 0, 0), "D:\\WINNT\\system32\\");
    EXPECT_EQ(SpecialFolderPath(machine, 2, 0), "D:\\WINNT\\");
    EXPECT_EQ(SpecialFolderPath(machine, 4, 0), "D:\\");
    EXPECT_EQ(SpecialFolderPath(machine, 5, 0), "D:\\Program Files\\");
    for (const int kind : {1, 3, 6}) {
        EXPECT_EQ(SpecialFolderPath(machine, kind, 0), "") << kind;
        EXPECT_EQ(SpecialFolderPath(machine, kind, 1), "") << kind;
    }
}

TEST(SpecialFolders, AMachineWithoutWindowsFoldersHasNoFolderAtAll) {
    const ScriptedMachine nothing;
    for (int kind = 0; kind <= 6; ++kind) {
        // Program files included: without a drive there is no "\Program Files" to point at.
        EXPECT_EQ(SpecialFolderPath(nothing, kind, 0), "") << kind;
    }
    EXPECT_EQ(korvane::system::TempInstallPath(nothing), "INSTALLTEMP\\");
    EXPECT_EQ(korvane::system::WindowsSubfolderPath(nothing, "Fonts"), "Fonts\\");
}

TEST(SpecialFolders, KindsOutsideTheTableGiveTheEmptyPath) {
    const ScriptedMachine machine = WindowsMachine();
    for (const int kind : {7, -1, INT_MIN, INT_MAX}) {
        EXPECT_EQ(SpecialFolderPath(machine, kind, 0), "") << kind;
    }
}

TEST(SpecialFolders, ADriveRootComesBackWithTwoBackslashes) {
    ScriptedMachine machine = WindowsMachine();
    machine.shell[38] = "E:\\";
    EXPECT_EQ(SpecialFolderPath(machine, 5, 0), "E:\\\\");
}

TEST(SpecialFolders, ResolvingClearsThePathBufferAndStaysInsideIt) {
    ScriptedMachine machine = WindowsMachine();
    GuardedBuffer path(korvane::system::kSpecialFolderBufferSize);
    ResolveSpecialFolder(machine, 2, 0, path.data());
    EXPECT_EQ(path.text(), "C:\\WINDOWS\\");
    for (std::size_t i = path.text().size(); i < korvane::system::kMaxPath; ++i) {
        ASSERT_EQ(path.data()[i], '\0') << i;
    }
    // The longest path the system's functions give (259 characters), and one more, which they
    // would not give.
    const std::string longest = "C:\\" + std::string(256, 'w');
    machine.shell[37] = longest;
    ResolveSpecialFolder(machine, 0, 0, path.data());
    EXPECT_EQ(path.text(), longest + "\\");
    EXPECT_TRUE(path.GuardIntact());
    machine.shell[37] = longest + "w";
    EXPECT_EQ(SpecialFolderPath(machine, 0, 0), "D:\\WINNT\\system32\\");
}

TEST(InstallationPaths, FoldersAreBuiltInTheWindowsFolder) {
    ScriptedMachine machine = WindowsMachine();
    EXPECT_EQ(korvane::system::TempInstallPath(machine), "C:\\WINDOWS\\INSTALLTEMP\\");
    EXPECT_EQ(korvane::system::WindowsSubfolderPath(machine, "Fonts"), "C:\\WINDOWS\\Fonts\\");
    EXPECT_EQ(korvane::system::WindowsSubfolderPath(machine, ""), "C:\\WINDOWS\\\\");
    machine.shell.clear();
    EXPECT_EQ(korvane::system::TempInstallPath(machine), "D:\\WINNT\\INSTALLTEMP\\");
}

}  // namespace
