// A description saved and loaded again comes back entry for entry.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "describe_setup.h"
#include "model/setup_document.h"
#include "scoped_code_page.h"
#include "scratch_directory.h"
#include "setup_file_io.h"

namespace korvane::setupfile {
namespace {

using model::CommandKind;
using model::SetupDocument;
using testing::DescribeSetup;
using testing::ScopedCodePage;
using testing::ScratchDirectory;

// Fills every section; `local` is a text in the active code page that is not ASCII, `name` an
// element name in it.
void FillEverySection(SetupDocument& setup, const std::string& local, const std::string& name) {
    setup.AddReservedWord("[APPDIR]", "Application <folder> & \"more\" 'x'", "/opt/app/");
    setup.AddReservedWord("[" + local + "]", local, "unused");
    setup.AddReservedWord("[EMPTY]", "", "");
    setup.AddElementField("NAME", "Sample & <Co>");
    setup.AddElementField("BLANK", " ");
    setup.AddElementField("EMPTY", "");
    setup.AddElementField(name, local + " value");
    setup.AddFileInfo("bin\\sample.exe", "sample.exe", "[APPDIR]", "1.0.0.1", "WINNT", "yes", local,
                      -1, 1, 2, INT_MAX, 0, 1);
    setup.AddFileInfo("", "", "", "", "", "", "", INT_MIN, 0, 0, 0, 1, 0);
    setup.AddRegistryInfo("Software\\Sample", "Path", "-7", "[APPDIR]>", 3);
    setup.AddRegistryInfo(local, "", "", "\t", 0);
    setup.AddPreKillProcess("SampleWindow", local);
    setup.AddUpKillProcess("UpdaterWindow", "Updater");
    setup.AddUpKillProcess("", "");
    setup.AddCommand(CommandKind::PreExecute, "[APPDIR]prepare.exe /q");
    setup.AddCommand(CommandKind::PreExecute, "");
    setup.AddCommand(CommandKind::PostExecute, "cmd /c \"echo <done> & exit\"");
    setup.AddCommand(CommandKind::UpdateExecute, local);
    setup.AddCommand(CommandKind::DeleteExecute, "del *.tmp");
}

void ExpectRoundTrip(unsigned codePage, const std::string& local, const std::string& name) {
    ScopedCodePage selected(codePage);
    ScratchDirectory directory;
    SetupDocument saved;
    FillEverySection(saved, local, name);
    ASSERT_EQ(SaveFile(saved, "setup.xml"), 1);

    SetupDocument loaded;
    loaded.AddCommand(CommandKind::PostExecute, "replaced by the load");
    ASSERT_EQ(LoadFile(loaded, "setup.xml"), 1);
    EXPECT_EQ(DescribeSetup(loaded), DescribeSetup(saved));
    // Expansions stay on this machine.
    for (const auto& entry : loaded.ReservedWords()) EXPECT_EQ(entry.second.Expansion(), "");
    EXPECT_EQ(directory.Listing(), "setup.xml ");

    // Saving what was loaded gives the same file again.
    ASSERT_EQ(SaveFile(loaded, "again.xml"), 1);
    EXPECT_EQ(directory.Read("again.xml"), directory.Read("setup.xml"));
}

TEST(RoundTrip, EverySectionUnderTheKoreanCodePage) {
    const std::string hangeul = "\xC7\xD1\xB1\xDB";
    ExpectRoundTrip(platform::kCodePageKorean, hangeul, hangeul);
}

TEST(RoundTrip, EverySectionUnderUtf8) {
    // Korean, and a character that euc-kr lacks and the file carries as a reference.
    const std::string hangeul = "\xED\x95\x9C\xEA\xB8\x80";
    ExpectRoundTrip(platform::kCodePageUtf8, hangeul + "\xC3\xA9", hangeul);
}

TEST(RoundTrip, FileIsDeclaredEucKrAndIndented) {
    ScopedCodePage utf8(platform::kCodePageUtf8);
    ScratchDirectory directory;
    SetupDocument setup;
    setup.AddElementField("TITLE", "\xED\x95\x9C \xC3\xA9");
    ASSERT_EQ(SaveFile(setup, "setup.xml"), 1);
    const std::string file = directory.Read("setup.xml");
    EXPECT_EQ(file.rfind("<?xml version=\"1.0\" encoding=\"euc-kr\"?>\n<SETUP>\n  <RESERVE/>\n", 0),
              0u)
        << file;
    // Hangul in euc-kr bytes; the e-acute, which euc-kr lacks, as a character reference.
    EXPECT_NE(file.find("<TITLE>\xC7\xD1 &#233;</TITLE>"), std::string::npos) << file;
}

TEST(RoundTrip, FlagsAreWrittenAsOneOrZero) {
    ScratchDirectory directory;
    SetupDocument setup;
    setup.AddFileInfo("s", "n", "f", "v", "o", "c", "d", 0, 5, 0, 0, -1, 0);
    ASSERT_EQ(SaveFile(setup, "setup.xml"), 1);
    const std::string file = directory.Read("setup.xml");
    EXPECT_NE(file.find("<SELFREG>1</SELFREG>"), std::string::npos);
    EXPECT_NE(file.find("<REALTIME>1</REALTIME>"), std::string::npos);
    EXPECT_NE(file.find("<REBOOT>0</REBOOT>"), std::string::npos);
    SetupDocument loaded;
    ASSERT_EQ(LoadFile(loaded, "setup.xml"), 1);
    EXPECT_EQ(loaded.Files()[0].selfReg, 1);
    EXPECT_EQ(loaded.Files()[0].realTime, 1);
}

TEST(RoundTrip, LongTextsComeBackCutToWhatTheReaderKeeps) {
    ScopedCodePage korean(platform::kCodePageKorean);
    ScratchDirectory directory;
    SetupDocument setup;
    const std::string hangul = "\xC7\xD1";
    std::string longKorean = "ab";
    while (longKorean.size() < 3000) longKorean += hangul;
    setup.AddReservedWord(longKorean, "", "");
    setup.AddPreKillProcess(longKorean, "t");
    setup.AddElementField("F", longKorean);
    setup.AddCommand(CommandKind::PreExecute, longKorean);
    ASSERT_EQ(SaveFile(setup, "setup.xml"), 1);
    SetupDocument loaded;
    ASSERT_EQ(LoadFile(loaded, "setup.xml"), 1);
    // "ab" and then two-byte characters: the last one that would straddle the limit goes.
    EXPECT_EQ(loaded.ReservedWords().begin()->first, longKorean.substr(0, 254));
    EXPECT_EQ(loaded.PreKills()[0].ClassName(), longKorean.substr(0, 254));
    EXPECT_EQ(loaded.ElementFields().at("F"), longKorean.substr(0, 1022));
    EXPECT_EQ(loaded.Commands(CommandKind::PreExecute)[0], longKorean.substr(0, 2046));
}

}  // namespace
}  // namespace korvane::setupfile
