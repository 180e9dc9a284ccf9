// Loading and saving setup files through the public header.
#include <gtest/gtest.h>

#include <langinfo.h>
#include <locale.h>

#include <fstream>
#include <iterator>
#include <string>

#include "guarded_buffer.h"
#include "korvane.h"
#include "scratch_directory.h"

namespace {

using korvane::testing::GuardedBuffer;
using korvane::testing::ScratchDirectory;

class SetupFiles : public ::testing::Test {
  protected:
    void SetUp() override { ClearInMemory(); }
    ScratchDirectory directory_;
};

TEST_F(SetupFiles, FieldsLoadedFromAFileComeBackWhateverTheirName) {
    directory_.Write("prefixed.xml", R"(<SETUP><CONFIG xmlns:k="urn:k">
      <k:NAME>prefixed</k:NAME><PLAIN>plain</PLAIN></CONFIG></SETUP>)");
    ASSERT_EQ(LoadSetupFile("prefixed.xml"), 1);
    GuardedBuffer prefixed(64), plain(64);
    GetElementField("k:NAME", prefixed.data());
    GetElementField("PLAIN", plain.data());
    EXPECT_EQ(prefixed.text(), "prefixed");
    EXPECT_EQ(plain.text(), "plain");
}

// Whether this process's locale holds text as UTF-8 (the C locale counts as UTF-8).
bool LocaleIsUtf8() {
    locale_t locale = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(0));
    if (locale == static_cast<locale_t>(0)) return true;
    const std::string codeset = nl_langinfo_l(CODESET, locale);
    freelocale(locale);
    return codeset == "UTF-8" || codeset == "ANSI_X3.4-1968";
}

TEST_F(SetupFiles, LookingUpANameTheFileCannotWriteLeavesSavesWorking) {
    if (!LocaleIsUtf8()) GTEST_SKIP() << "the names below are UTF-8";
    GuardedBuffer value(16);
    SetElementField("A", "a");
    // Valid element names, but euc-kr has no o with diaeresis and no sharp s.
    EXPECT_EQ(GetElementField("Gr\xC3\xB6\xC3\x9F"
                              "e",
                              value.data()),
              1);
    EXPECT_EQ(value.text(), "");
    EXPECT_EQ(SetElementField("B", "b"), 2);  // the looked-up name was not added
    EXPECT_EQ(SaveSetupFile("setup.xml"), 1);
}

TEST_F(SetupFiles, NullPathsFail) {
    EXPECT_EQ(LoadSetupFile(nullptr), 0);
    EXPECT_EQ(SaveSetupFile(nullptr), 0);
}

TEST_F(SetupFiles, SavedDescriptionLoadsBackThroughTheExports) {
    SetReservedWord("[APPDIR]", "Application folder", "/opt/sample/");
    SetElementField("PRODUCT", "Sample & Co");
    SetFileInfo("bin\\sample.exe", "sample.exe", "[APPDIR]", "1.0", "ALL", "", "Sample", 3, 1, 2,
                512, 0, 1);
    SetRegistryInfo("Software\\Sample", "Path", -4, "[APPDIR]", 1);
    SetUpKillProcess("SampleWindow", "Sample");
    SetDeleteExecute("cleanup.exe");
    ASSERT_EQ(SaveSetupFile("setup.xml"), 1);
    // Saving changes nothing in memory.
    EXPECT_EQ(GetFileCount(), 1);
    EXPECT_EQ(GetReservedWordCount(), 1);

    ClearInMemory();
    SetPreExecute("replaced by the load");
    ASSERT_EQ(LoadSetupFile("setup.xml"), 1);
    EXPECT_EQ(GetPreExecuteCount(), 0);
    GuardedBuffer folder(KORVANE_PATH_SIZE), value(KORVANE_TEXT_SIZE), word(64),
        meaning(KORVANE_TEXT_SIZE), real(KORVANE_TEXT_SIZE), command(64);
    int32_t reboot = 0, type = 0;
    ASSERT_EQ(GetFileInfo(0, nullptr, nullptr, folder.data(), nullptr, nullptr, nullptr, nullptr,
                          nullptr, nullptr, nullptr, nullptr, nullptr, &reboot),
              1);
    EXPECT_EQ(folder.text(), "[APPDIR]");
    EXPECT_EQ(reboot, 1);
    ASSERT_EQ(GetRegistryInfo(0, nullptr, nullptr, &type, nullptr, nullptr), 1);
    EXPECT_EQ(type, -4);
    GetElementField("PRODUCT", value.data());
    EXPECT_EQ(value.text(), "Sample & Co");
    ASSERT_EQ(GetDeleteExecute(0, command.data()), 1);
    EXPECT_EQ(command.text(), "cleanup.exe");
    // A word read from a file expands to nothing.
    ASSERT_EQ(GetReservedWord(0, word.data(), meaning.data()), 1);
    EXPECT_EQ(meaning.text(), "Application folder");
    SetupPathToRealPath("[APPDIR]bin", real.data());
    EXPECT_EQ(real.text(), "bin");
}

TEST_F(SetupFiles, FailedLoadLeavesTheDescriptionAsItWas) {
    SetPreExecute("kept");
    directory_.Write("broken.xml", "<SETUP><FILES></SETUP>");
    EXPECT_EQ(LoadSetupFile("broken.xml"), 0);
    EXPECT_EQ(LoadSetupFile("missing.xml"), 0);
    EXPECT_EQ(GetPreExecuteCount(), 1);
}

TEST_F(SetupFiles, APercentInTheNameIsPartOfTheName) {
    SetPreExecute("kept");
    ASSERT_EQ(SaveSetupFile("a%41.xml"), 1);
    EXPECT_EQ(directory_.Listing(), "a%41.xml ");
    ClearInMemory();
    ASSERT_EQ(LoadSetupFile("a%41.xml"), 1);
    EXPECT_EQ(GetPreExecuteCount(), 1);
}

TEST_F(SetupFiles, TheBundledExampleLoadsWithEverySectionFilled) {
    ASSERT_EQ(LoadSetupFile(KORVANE_EXAMPLE_SETUP), 1);
    EXPECT_GT(GetReservedWordCount(), 0);
    EXPECT_GT(GetFileCount(), 0);
    EXPECT_GT(GetRegistryCount(), 0);
    EXPECT_GT(GetPreKillProcessCount(), 0);
    EXPECT_GT(GetUpKillProcessCount(), 0);
    EXPECT_GT(GetPreExecuteCount(), 0);
    EXPECT_GT(GetPostExecuteCount(), 0);
    EXPECT_GT(GetUpdateExecuteCount(), 0);
    EXPECT_GT(GetDeleteExecuteCount(), 0);
    GuardedBuffer product(64);
    GetElementField("PRODUCT", product.data());
    EXPECT_EQ(product.text(), "Harbor Notes");
    // It is in the form Korvane writes: saving it again gives the same bytes.
    ASSERT_EQ(SaveSetupFile("again.xml"), 1);
    EXPECT_EQ(directory_.Read("again.xml"), [] {
        std::ifstream file(KORVANE_EXAMPLE_SETUP, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }());
}

}  // namespace
