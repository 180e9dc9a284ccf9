// The exports as a caller uses them: through the public header, against the shared library.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "guarded_buffer.h"
#include "korvane.h"

namespace {

using korvane::testing::GuardedBuffer;

class Exports : public ::testing::Test {
  protected:
    void SetUp() override { ClearInMemory(); }
};

TEST_F(Exports, EmptyDescriptionCountsNothing) {
    EXPECT_EQ(ClearInMemory(), 1);
    EXPECT_EQ(GetFileCount(), 0);
    EXPECT_EQ(GetRegistryCount(), 0);
    EXPECT_EQ(GetReservedWordCount(), 0);
    EXPECT_EQ(GetPreKillProcessCount(), 0);
    EXPECT_EQ(GetUpKillProcessCount(), 0);
    EXPECT_EQ(GetPreExecuteCount(), 0);
    EXPECT_EQ(GetPostExecuteCount(), 0);
    EXPECT_EQ(GetUpdateExecuteCount(), 0);
    EXPECT_EQ(GetDeleteExecuteCount(), 0);
}

TEST_F(Exports, FileInfoComesBackInTheParameterOrderItWentIn) {
    EXPECT_EQ(
        SetFileInfo("src", "name", "folder", "version", "os", "short", "display", 1, 2, 3, 4, 5, 6),
        1);
    EXPECT_EQ(SetFileInfo("src2", "name2", "folder2", "version2", "os2", "short2", "display2", -7,
                          0, INT_MIN, INT_MAX, 9, -1),
              2);

    GuardedBuffer src(KORVANE_PATH_SIZE), name(KORVANE_PATH_SIZE), folder(KORVANE_PATH_SIZE),
        version(KORVANE_VERSION_TEXT_SIZE), os(KORVANE_TARGET_OS_SIZE),
        shortcut(KORVANE_SHORTCUT_SIZE), display(KORVANE_DISPLAY_NAME_SIZE);
    int32_t ints[6] = {};
    ASSERT_EQ(GetFileInfo(0, src.data(), name.data(), folder.data(), version.data(), os.data(),
                          shortcut.data(), display.data(), &ints[0], &ints[1], &ints[2], &ints[3],
                          &ints[4], &ints[5]),
              1);
    EXPECT_EQ(src.text(), "src");
    EXPECT_EQ(name.text(), "name");
    EXPECT_EQ(folder.text(), "folder");
    EXPECT_EQ(version.text(), "version");
    EXPECT_EQ(os.text(), "os");
    EXPECT_EQ(shortcut.text(), "short");
    EXPECT_EQ(display.text(), "display");
    EXPECT_EQ(std::vector<int32_t>(ints, ints + 6), (std::vector<int32_t>{1, 2, 3, 4, 5, 6}));

    ASSERT_EQ(GetFileInfo(1, src.data(), name.data(), folder.data(), version.data(), os.data(),
                          shortcut.data(), display.data(), &ints[0], &ints[1], &ints[2], &ints[3],
                          &ints[4], &ints[5]),
              1);
    EXPECT_EQ(folder.text(), "folder2");
    EXPECT_EQ(version.text(), "version2");
    // Flags are handed out as stored, not normalised.
    EXPECT_EQ(std::vector<int32_t>(ints, ints + 6),
              (std::vector<int32_t>{-7, 0, INT_MIN, INT_MAX, 9, -1}));
}

TEST_F(Exports, FixedFieldsNeverOverrunTheirDocumentedBuffers) {
    const std::string longText(2000, 'x');
    SetFileInfo(longText.c_str(), longText.c_str(), longText.c_str(), longText.c_str(),
                longText.c_str(), longText.c_str(), longText.c_str(), 0, 0, 0, 0, 0, 0);
    GuardedBuffer src(KORVANE_PATH_SIZE), name(KORVANE_PATH_SIZE), folder(KORVANE_PATH_SIZE),
        version(KORVANE_VERSION_TEXT_SIZE), os(KORVANE_TARGET_OS_SIZE),
        shortcut(KORVANE_SHORTCUT_SIZE), display(KORVANE_DISPLAY_NAME_SIZE);
    ASSERT_EQ(GetFileInfo(0, src.data(), name.data(), folder.data(), version.data(), os.data(),
                          shortcut.data(), display.data(), nullptr, nullptr, nullptr, nullptr,
                          nullptr, nullptr),
              1);
    for (GuardedBuffer* buffer : {&src, &name, &folder, &version, &os, &shortcut, &display}) {
        EXPECT_TRUE(buffer->GuardIntact());
    }
    EXPECT_EQ(src.text(), std::string(259, 'x'));
    EXPECT_EQ(version.text(), std::string(127, 'x'));
    EXPECT_EQ(shortcut.text(), std::string(9, 'x'));
    EXPECT_EQ(display.text(), std::string(129, 'x'));

    SetRegistryInfo(longText.c_str(), longText.c_str(), 1, longText.c_str(), 0);
    SetPreKillProcess(longText.c_str(), longText.c_str());
    GuardedBuffer path(KORVANE_TEXT_SIZE), key(KORVANE_TEXT_SIZE), value(KORVANE_TEXT_SIZE),
        className(KORVANE_TEXT_SIZE), title(KORVANE_TEXT_SIZE);
    ASSERT_EQ(GetRegistryInfo(0, path.data(), key.data(), nullptr, value.data(), nullptr), 1);
    ASSERT_EQ(GetPreKillProcess(0, className.data(), title.data()), 1);
    for (GuardedBuffer* buffer : {&path, &key, &value, &className, &title}) {
        EXPECT_TRUE(buffer->GuardIntact());
        EXPECT_EQ(buffer->text(), std::string(1023, 'x'));
    }
}

TEST_F(Exports, RegistryInfoKeepsItsOrderAndItsType) {
    EXPECT_EQ(SetRegistryInfo("Software\\Korvane", "Path", -1, "C:\\App", 7), 1);
    EXPECT_EQ(SetRegistryInfo("p", "k", INT_MIN, "v", 0), 2);
    GuardedBuffer path(KORVANE_TEXT_SIZE), key(KORVANE_TEXT_SIZE), value(KORVANE_TEXT_SIZE);
    int32_t type = 0, action = 0;
    ASSERT_EQ(GetRegistryInfo(0, path.data(), key.data(), &type, value.data(), &action), 1);
    EXPECT_EQ(path.text(), "Software\\Korvane");
    EXPECT_EQ(key.text(), "Path");
    EXPECT_EQ(type, -1);
    EXPECT_EQ(value.text(), "C:\\App");
    EXPECT_EQ(action, 7);
    ASSERT_EQ(GetRegistryInfo(1, path.data(), key.data(), &type, value.data(), &action), 1);
    EXPECT_EQ(type, INT_MIN);
}

TEST_F(Exports, KillProcessListsAreSeparate) {
    EXPECT_EQ(SetPreKillProcess("PreClass", "Pre title"), 1);
    EXPECT_EQ(SetUpKillProcess("UpClass", "Up title"), 1);
    EXPECT_EQ(SetUpKillProcess("UpClass2", ""), 2);
    GuardedBuffer className(KORVANE_TEXT_SIZE), title(KORVANE_TEXT_SIZE);
    ASSERT_EQ(GetPreKillProcess(0, className.data(), title.data()), 1);
    EXPECT_EQ(className.text(), "PreClass");
    EXPECT_EQ(title.text(), "Pre title");
    ASSERT_EQ(GetUpKillProcess(1, className.data(), title.data()), 1);
    EXPECT_EQ(className.text(), "UpClass2");
    EXPECT_EQ(title.text(), "");
}

TEST_F(Exports, CommandListsAreSeparateAndKeepEmptyCommands) {
    EXPECT_EQ(SetPreExecute("pre"), 1);
    EXPECT_EQ(SetPreExecute(""), 2);
    EXPECT_EQ(SetPostExecute("post"), 1);
    EXPECT_EQ(SetUpdateExecute("update"), 1);
    EXPECT_EQ(SetDeleteExecute("delete"), 1);
    EXPECT_EQ(SetDeleteExecute("delete2"), 2);
    EXPECT_EQ(GetPreExecuteCount(), 2);

    GuardedBuffer command(64);
    ASSERT_EQ(GetPreExecute(1, command.data()), 1);
    EXPECT_EQ(command.text(), "");
    ASSERT_EQ(GetPostExecute(0, command.data()), 1);
    EXPECT_EQ(command.text(), "post");
    ASSERT_EQ(GetUpdateExecute(0, command.data()), 1);
    EXPECT_EQ(command.text(), "update");
    ASSERT_EQ(GetDeleteExecute(1, command.data()), 1);
    EXPECT_EQ(command.text(), "delete2");

    // A command has no fixed length.
    const std::string longCommand(5000, 'c');
    SetPostExecute(longCommand.c_str());
    GuardedBuffer big(5001);
    ASSERT_EQ(GetPostExecute(1, big.data()), 1);
    EXPECT_EQ(big.text(), longCommand);
}

TEST_F(Exports, PositionsOutsideATableReturnZeroAndWriteNothing) {
    SetFileInfo("s", "n", "f", "v", "o", "c", "d", 0, 0, 0, 0, 0, 0);
    SetRegistryInfo("p", "k", 1, "v", 0);
    SetPreKillProcess("c", "t");
    SetUpKillProcess("c", "t");
    SetPreExecute("c");
    SetPostExecute("c");
    SetUpdateExecute("c");
    SetDeleteExecute("c");
    SetReservedWord("w", "m", "e");

    for (int32_t index : {-1, 1, INT_MIN, INT_MAX}) {
        SCOPED_TRACE(index);
        GuardedBuffer a(KORVANE_TEXT_SIZE), b(KORVANE_TEXT_SIZE), c(KORVANE_TEXT_SIZE),
            d(KORVANE_TEXT_SIZE), e(KORVANE_TEXT_SIZE), f(KORVANE_TEXT_SIZE), g(KORVANE_TEXT_SIZE);
        int32_t n = 42;
        EXPECT_EQ(GetFileInfo(index, a.data(), b.data(), c.data(), d.data(), e.data(), f.data(),
                              g.data(), &n, &n, &n, &n, &n, &n),
                  0);
        EXPECT_EQ(GetRegistryInfo(index, a.data(), b.data(), &n, c.data(), &n), 0);
        EXPECT_EQ(GetPreKillProcess(index, a.data(), b.data()), 0);
        EXPECT_EQ(GetUpKillProcess(index, a.data(), b.data()), 0);
        EXPECT_EQ(GetPreExecute(index, a.data()), 0);
        EXPECT_EQ(GetPostExecute(index, a.data()), 0);
        EXPECT_EQ(GetUpdateExecute(index, a.data()), 0);
        EXPECT_EQ(GetDeleteExecute(index, a.data()), 0);
        EXPECT_EQ(GetReservedWord(index, a.data(), b.data()), 0);
        for (GuardedBuffer* buffer : {&a, &b, &c, &d, &e, &f, &g}) {
            EXPECT_TRUE(buffer->Untouched());
        }
        EXPECT_EQ(n, 42);
    }
}

TEST_F(Exports, NullTextsCountAsEmptyAndNullOutputsAreSkipped) {
    EXPECT_EQ(SetFileInfo(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 1, 0, 0, 0,
                          0, 0),
              1);
    EXPECT_EQ(SetRegistryInfo(nullptr, nullptr, 3, nullptr, 0), 1);
    EXPECT_EQ(SetPreKillProcess(nullptr, nullptr), 1);
    EXPECT_EQ(SetPreExecute(nullptr), 1);
    EXPECT_EQ(SetElementField("F", nullptr), 1);
    EXPECT_EQ(SetReservedWord("w", nullptr, nullptr), 1);

    GuardedBuffer src(KORVANE_PATH_SIZE);
    int32_t icon = 0;
    ASSERT_EQ(GetFileInfo(0, src.data(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                          &icon, nullptr, nullptr, nullptr, nullptr, nullptr),
              1);
    EXPECT_EQ(src.text(), "");
    EXPECT_EQ(icon, 1);
    EXPECT_EQ(GetRegistryInfo(0, nullptr, nullptr, nullptr, nullptr, nullptr), 1);
    EXPECT_EQ(GetPreExecute(0, nullptr), 1);
    EXPECT_EQ(GetElementField("F", nullptr), 1);
    EXPECT_EQ(GetReservedWord(0, nullptr, nullptr), 1);
    EXPECT_EQ(SetupPathToRealPath(nullptr, nullptr), 1);
    GuardedBuffer real(KORVANE_TEXT_SIZE);
    EXPECT_EQ(SetupPathToRealPath(nullptr, real.data()), 1);
    EXPECT_EQ(real.text(), "");
}

TEST_F(Exports, ClearInMemoryEmptiesEverySection) {
    SetFileInfo("s", "n", "f", "v", "o", "c", "d", 0, 0, 0, 0, 0, 0);
    SetRegistryInfo("p", "k", 1, "v", 0);
    SetPreKillProcess("c", "t");
    SetUpKillProcess("c", "t");
    SetPreExecute("c");
    SetPostExecute("c");
    SetUpdateExecute("c");
    SetDeleteExecute("c");
    SetReservedWord("w", "m", "e");
    SetElementField("F", "t");

    EXPECT_EQ(ClearInMemory(), 1);
    EXPECT_EQ(GetFileCount() + GetRegistryCount() + GetReservedWordCount() +
                  GetPreKillProcessCount() + GetUpKillProcessCount() + GetPreExecuteCount() +
                  GetPostExecuteCount() + GetUpdateExecuteCount() + GetDeleteExecuteCount(),
              0);
    EXPECT_EQ(SetElementField("F", "new"), 1);
    EXPECT_EQ(SetPostExecute("after"), 1);
    GuardedBuffer value(16);
    GetElementField("F", value.data());
    EXPECT_EQ(value.text(), "new");
}

}  // namespace
