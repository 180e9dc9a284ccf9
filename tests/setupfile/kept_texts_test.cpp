// A file whose texts the code page cannot hold: the getters read '?', and a save writes the
// file's own texts back, under a Western code page on every build.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "describe_setup.h"
#include "model/setup_document.h"
#include "platform/code_page.h"
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

const std::string kHangul = "\xED\x95\x9C\xEA\xB8\x80";            // two characters
const std::string kThai = "\xE0\xB9\x84\xE0\xB8\x97\xE0\xB8\xA2";  // three characters
const std::string kBeyondBmp = "\xF0\x9F\x98\x80";                 // U+1F600
const std::string kMixed = "a" + kHangul + kThai + kBeyondBmp + "z";

// A Western code page selected for a test: code page 1252 by number, or on POSIX systems a code
// set by name (ISO-8859-1).
struct Western {
    const char* name;
    unsigned codePage;
};

void PrintTo(const Western& western, std::ostream* out) {
    *out << western.name;
}

class Selection {
  public:
    explicit Selection(const Western& western) {
        if (western.codePage != 0) {
            platform::SelectCodePageForTesting(western.codePage);
        } else {
            platform::SelectCodeSetForTesting(western.name);
        }
    }
    ~Selection() { platform::SelectCodeSetForTesting(""); }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;
};

std::string Value(const char* element, const std::string& text) {
    return std::string("<") + element + ">" + text + "</" + element + ">";
}

// A UTF-8 file with `text` in every value and the key of every keyed table; `key` is a key
// text that an element name can hold in euc-kr.
std::string FileWithEveryText(const std::string& text, const std::string& key) {
    std::string file = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<SETUP>";
    file += "<RESERVE><WORD>" + Value("SHORT", "[" + text + "]") + Value("MEAN", text) +
            "</WORD></RESERVE>";
    file += "<CONFIG>" + Value(("N" + key).c_str(), text) + "<PLAIN>x</PLAIN></CONFIG>";
    file += "<FILES><FILE>";
    for (const char* element :
         {"SRCPATH", "FILENAME", "FOLDER", "VERSION", "TARGETOS", "DISPLAYNAME"})
        file += Value(element, text);
    file += Value("SHORTCUT", "s" + kHangul) + "<ICONINDEX>3</ICONINDEX></FILE></FILES>";
    file += "<REGISTRYS><REGISTRY>" + Value("REGPATH", text) + Value("TYPE", "1" + kHangul) +
            Value("KEY", text) + Value("VALUE", text) + "<ACTION>2</ACTION></REGISTRY></REGISTRYS>";
    file += "<PREKILLS><PREKILL>" + Value("CLASS", text) + Value("TITLE", text) +
            "</PREKILL></PREKILLS>";
    file +=
        "<UPKILLS><UPKILL>" + Value("CLASS", text) + Value("TITLE", text) + "</UPKILL></UPKILLS>";
    for (const char* list : {"PREEXECUTE", "POSTEXECUTE", "UPDATEEXECUTE", "DELETEEXECUTE"})
        file += std::string("<") + list + ">" + Value("COMMAND", text) + "</" + list + ">";
    return file + "</SETUP>\n";
}

// Every value and key of `file` as a UTF-8 load reads it.
std::string DescribedUnderUtf8(const ScratchDirectory& directory, const std::string& file) {
    ScopedCodePage utf8(platform::kCodePageUtf8);
    SetupDocument setup;
    directory.Write("described.xml", file);
    EXPECT_EQ(LoadFile(setup, "described.xml"), 1);
    return DescribeSetup(setup);
}

class KeptTexts : public ::testing::TestWithParam<Western> {};

TEST_P(KeptTexts, EveryValueAndKeyIsReadAsQuestionMarksAndSavedAsTheFileHadIt) {
    ScratchDirectory directory;
    const std::string original = FileWithEveryText(kMixed, kHangul);
    const std::string expected = DescribedUnderUtf8(directory, original);

    std::string saved;
    {
        Selection western(GetParam());
        // The character beyond U+FFFF reads as one '?', or as two (one per UTF-16 unit).
        const std::string beyond = platform::FromUtf8(kBeyondBmp);
        ASSERT_TRUE(beyond == "?" || beyond == "??") << beyond;
        const std::string local = "a?????" + beyond + "z";

        SetupDocument setup;
        directory.Write("korean.xml", original);
        ASSERT_EQ(LoadFile(setup, "korean.xml"), 1);
        EXPECT_EQ(setup.ReservedWords().begin()->first, "[" + local + "]");
        EXPECT_EQ(setup.ReservedWords().begin()->second.Meaning(), local);
        EXPECT_EQ(setup.ElementFields().at("N??"), local);
        const model::FileEntry& file = setup.Files().at(0);
        for (std::string_view text : {file.SrcPath(), file.FileName(), file.Folder(),
                                      file.Version(), file.TargetOs(), file.DisplayName()})
            EXPECT_EQ(text, local);
        EXPECT_EQ(file.Shortcut(), "s??");
        EXPECT_EQ(file.iconIndex, 3);
        const model::RegistryEntry& registry = setup.Registries().at(0);
        EXPECT_EQ(registry.Type(), "1??");
        for (std::string_view text : {registry.RegPath(), registry.Key(), registry.Value()})
            EXPECT_EQ(text, local);
        for (const model::KillProcessEntry* kill :
             {&setup.PreKills().at(0), &setup.UpKills().at(0)}) {
            EXPECT_EQ(kill->ClassName(), local);
            EXPECT_EQ(kill->Title(), local);
        }
        for (CommandKind list : {CommandKind::PreExecute, CommandKind::PostExecute,
                                 CommandKind::UpdateExecute, CommandKind::DeleteExecute})
            EXPECT_EQ(setup.Commands(list).at(0), local);

        ASSERT_EQ(SaveFile(setup, "saved.xml"), 1);
        saved = directory.Read("saved.xml");
        // Saving what the saved file loads as gives it again.
        SetupDocument again;
        ASSERT_EQ(LoadFile(again, "saved.xml"), 1);
        ASSERT_EQ(SaveFile(again, "again.xml"), 1);
        EXPECT_EQ(directory.Read("again.xml"), saved);
    }
    EXPECT_EQ(saved.find('?', saved.find("?>") + 2), std::string::npos) << saved;
    EXPECT_EQ(DescribedUnderUtf8(directory, saved), expected) << saved;
}

TEST_P(KeptTexts, KeysThatReadTheSameKeepTheFirstEntryWithItsTexts) {
    ScratchDirectory directory;
    const std::string first = "\xED\x95\x9C", second = "\xEA\xB8\x80";  // both read as '?'
    const std::string file =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<SETUP><RESERVE>"
        "<WORD><SHORT>" +
        first + "</SHORT><MEAN>one" + first +
        "</MEAN></WORD>"
        "<WORD><SHORT>" +
        second + "</SHORT><MEAN>two" + second +
        "</MEAN></WORD>"
        "</RESERVE><CONFIG>"
        "<X" +
        first + ">one" + first + "</X" + first +
        ">"
        "<X" +
        second + ">two" + second + "</X" + second +
        ">"
        "</CONFIG></SETUP>\n";
    std::string saved;
    {
        Selection western(GetParam());
        SetupDocument setup;
        directory.Write("keys.xml", file);
        ASSERT_EQ(LoadFile(setup, "keys.xml"), 1);
        ASSERT_EQ(setup.ReservedWords().size(), 1u);
        EXPECT_EQ(setup.ReservedWords().begin()->second.Meaning(), "one?");
        ASSERT_EQ(setup.ElementFields().size(), 1u);
        EXPECT_EQ(setup.ElementFields().at("X?"), "one?");
        ASSERT_EQ(SaveFile(setup, "saved.xml"), 1);
        saved = directory.Read("saved.xml");
    }
    ScopedCodePage utf8(platform::kCodePageUtf8);
    SetupDocument loaded;
    ASSERT_EQ(LoadFile(loaded, "saved.xml"), 1);
    EXPECT_EQ(DescribeSetup(loaded),
              "word[" + first + "]=[one" + first + "]\nfield[X" + first + "]=[one" + first + "]\n")
        << saved;
}

TEST_P(KeptTexts, ACutTextKeepsItsCut) {
    ScratchDirectory directory;
    // SHORTCUT keeps 9 bytes: 11 Hangul characters read as 9 '?', and a text whose only
    // Hangul falls beyond the cut loses nothing.
    std::string hanguls;
    for (int i = 0; i < 11; ++i) hanguls += "\xED\x95\x9C";
    const std::string file =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<SETUP><FILES>"
        "<FILE><SHORTCUT>" +
        hanguls +
        "</SHORTCUT></FILE>"
        "<FILE><SHORTCUT>abcdefghi\xED\x95\x9C</SHORTCUT></FILE>"
        "</FILES></SETUP>\n";
    Selection western(GetParam());
    SetupDocument setup;
    directory.Write("cut.xml", file);
    ASSERT_EQ(LoadFile(setup, "cut.xml"), 1);
    EXPECT_EQ(setup.Files().at(0).Shortcut(), "?????????");
    EXPECT_EQ(setup.Files().at(1).Shortcut(), "abcdefghi");
    EXPECT_EQ(setup.Kept().size(), 1u);
    ASSERT_EQ(SaveFile(setup, "saved.xml"), 1);
    const std::string saved = directory.Read("saved.xml");
    std::string eucKr;  // the nine characters as the euc-kr file writes them
    for (int i = 0; i < 9; ++i) eucKr += "\xC7\xD1";
    EXPECT_NE(saved.find("<SHORTCUT>" + eucKr + "</SHORTCUT>"), std::string::npos) << saved;
    EXPECT_NE(saved.find("<SHORTCUT>abcdefghi</SHORTCUT>"), std::string::npos) << saved;
}

TEST_P(KeptTexts, TextsTheCodePageHoldsKeepNothing) {
    ScratchDirectory directory;
    Selection western(GetParam());
    SetupDocument setup;
    directory.Write("latin.xml", FileWithEveryText("caf\xC3\xA9 &lt;&amp;&gt;", "E"));
    ASSERT_EQ(LoadFile(setup, "latin.xml"), 1);
    EXPECT_EQ(setup.Files().at(0).FileName(), "caf\xE9 <&>");
    EXPECT_EQ(setup.Kept().size(), 2u);  // the Hangul of SHORTCUT and TYPE, and nothing else
}

std::vector<Western> WesternCodePages() {
#ifdef _WIN32
    return {{"1252", platform::kCodePageLatin1}};
#else
    return {{"1252", platform::kCodePageLatin1}, {"ISO-8859-1", 0}};
#endif
}

INSTANTIATE_TEST_SUITE_P(Western, KeptTexts, ::testing::ValuesIn(WesternCodePages()),
                         [](const auto& info) {
                             return std::string(info.param.codePage != 0 ? "CodePage1252"
                                                                         : "Iso8859_1");
                         });

}  // namespace
}  // namespace korvane::setupfile
