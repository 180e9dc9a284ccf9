#include "model/setup_document.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scoped_code_page.h"

namespace korvane::model {
namespace {

template <typename Map>
std::vector<std::string> KeysOf(const Map& map) {
    std::vector<std::string> keys;
    for (const auto& entry : map) keys.push_back(entry.first);
    return keys;
}

TEST(SetupDocument, KeysAreOrderedByUnsignedBytesShorterPrefixFirst) {
    SetupDocument document;
    for (const char* key : {"b", "\x80", "B", "AB", "A", "", "z"}) {
        document.AddReservedWord(key, "", "");
        document.AddElementField(key, "");
    }
    const std::vector<std::string> expected{"", "A", "AB", "B", "b", "z", "\x80"};
    EXPECT_EQ(KeysOf(document.ReservedWords()), expected);
    EXPECT_EQ(KeysOf(document.ElementFields()), expected);
}

TEST(SetupDocument, FirstEntryForAKeyWins) {
    SetupDocument document;
    EXPECT_EQ(document.AddReservedWord("%W%", "first", "C:\\one\\"), 1);
    EXPECT_EQ(document.AddReservedWord("%W%", "second", "C:\\two\\"), 1);
    EXPECT_EQ(document.ReservedWords().find("%W%")->second.Meaning(), "first");
    EXPECT_EQ(document.ReservedWords().find("%W%")->second.Expansion(), "C:\\one\\");

    EXPECT_EQ(document.AddElementField("NAME", "first"), 1);
    EXPECT_EQ(document.AddElementField("NAME", "second"), 1);
    EXPECT_EQ(document.AddElementField("name", "lower"), 2);
    EXPECT_EQ(document.ElementFields().at("NAME"), "first");
}

TEST(SetupDocument, AbsentFieldIsAddedEmptyAndKeepsItsEmptyText) {
    SetupDocument document;
    EXPECT_EQ(document.ElementFieldAddingAbsent("ASKED"), "");
    EXPECT_EQ(document.AddElementField("ASKED", "later"), 1);
    EXPECT_EQ(document.ElementFieldAddingAbsent("ASKED"), "");
}

TEST(SetupDocument, ListsKeepEveryEntryInOrder) {
    SetupDocument document;
    EXPECT_EQ(document.AddFileInfo("s", "n", "f", "v", "o", "c", "d", 1, 5, 3, 4, 0, 6), 1);
    EXPECT_EQ(document.AddFileInfo("s", "n", "f", "v", "o", "c", "d", 1, 5, 3, 4, 0, 6), 2);
    EXPECT_EQ(document.Files()[1].selfReg, 5);  // flags are stored unchanged
    EXPECT_EQ(document.Files()[1].Folder(), "f");
    EXPECT_EQ(document.Files()[1].Version(), "v");

    EXPECT_EQ(document.AddCommand(CommandKind::PostExecute, ""), 1);
    EXPECT_EQ(document.AddCommand(CommandKind::PostExecute, "b"), 2);
    EXPECT_EQ(document.Commands(CommandKind::PostExecute), (CommandList{"", "b"}));
    EXPECT_TRUE(document.Commands(CommandKind::PreExecute).empty());
    EXPECT_TRUE(document.Commands(CommandKind::UpdateExecute).empty());
    EXPECT_TRUE(document.Commands(CommandKind::DeleteExecute).empty());

    EXPECT_EQ(document.AddPreKillProcess("pre", "t"), 1);
    EXPECT_EQ(document.AddUpKillProcess("up", "t"), 1);
    EXPECT_EQ(document.AddUpKillProcess("up2", "t"), 2);
    EXPECT_EQ(document.PreKills()[0].ClassName(), "pre");
}

TEST(SetupDocument, ClearAllEmptiesEveryTable) {
    SetupDocument document;
    document.AddFileInfo("s", "n", "f", "v", "o", "c", "d", 0, 0, 0, 0, 0, 0);
    document.AddRegistryInfo("p", "k", "1", "v", 0);
    document.AddPreKillProcess("c", "t");
    document.AddUpKillProcess("c", "t");
    document.AddReservedWord("w", "m", "e");
    document.AddElementField("F", "t");
    for (auto list : {CommandKind::PreExecute, CommandKind::PostExecute, CommandKind::UpdateExecute,
                      CommandKind::DeleteExecute}) {
        document.AddCommand(list, "c");
    }
    document.ClearAll();
    EXPECT_TRUE(document.Files().empty());
    EXPECT_TRUE(document.Registries().empty());
    EXPECT_TRUE(document.PreKills().empty());
    EXPECT_TRUE(document.UpKills().empty());
    EXPECT_TRUE(document.ReservedWords().empty());
    EXPECT_TRUE(document.ElementFields().empty());
    for (auto list : {CommandKind::PreExecute, CommandKind::PostExecute, CommandKind::UpdateExecute,
                      CommandKind::DeleteExecute}) {
        EXPECT_TRUE(document.Commands(list).empty());
    }
    EXPECT_EQ(document.AddRegistryInfo("p", "k", "1", "v", 0), 1);
}

TEST(SetupDocument, ReplacingAFileKeepsTheFilesTextsOfTheTextsThatStay) {
    SetupDocument document;
    document.AddFileInfo("src?", "name?", "folder", "1.0?", "", "", "", 0, 0, 0, 5, 0, 0);
    document.AddFileInfo("other?", "", "", "", "", "", "", 0, 0, 0, 0, 0, 0);
    KeptTexts& kept = document.Kept();
    kept.Keep(KeptTable::Files, 0, FileEntry::kSrcPath, "src\xEA\xB0\x80");
    kept.Keep(KeptTable::Files, 0, FileEntry::kVersion, "1.0\xEA\xB0\x80");
    kept.Keep(KeptTable::Files, 1, FileEntry::kSrcPath, "other\xEA\xB0\x80");
    kept.Keep(KeptTable::ReservedWords, "src?", kKeyText, "word");

    FileEntry stamped{{{"src?", "name?", "2.0", "folder", "", "", ""}, FileEntry::kWidths}};
    stamped.fileSize = 7;
    document.ReplaceFile(0, std::move(stamped));
    ASSERT_NE(kept.Find(KeptTable::Files, 0, FileEntry::kSrcPath), nullptr);
    EXPECT_EQ(*kept.Find(KeptTable::Files, 0, FileEntry::kSrcPath), "src\xEA\xB0\x80");
    // The version changed: the file's old text would no longer be the entry's.
    EXPECT_EQ(kept.Find(KeptTable::Files, 0, FileEntry::kVersion), nullptr);
    EXPECT_NE(kept.Find(KeptTable::Files, 1, FileEntry::kSrcPath), nullptr);
    // A key's text is found by the key, not by a position.
    EXPECT_NE(kept.Find(KeptTable::ReservedWords, "src?", kKeyText), nullptr);
    EXPECT_EQ(kept.Find(KeptTable::ReservedWords, "src?", kValueText), nullptr);
    EXPECT_EQ(kept.Find(KeptTable::ElementFields, "src?", kKeyText), nullptr);

    SetupDocument other;
    other.Swap(document);
    EXPECT_TRUE(document.Kept().empty());
    EXPECT_EQ(other.Kept().size(), 3u);
    other.ClearAll();
    EXPECT_TRUE(other.Kept().empty());
}

TEST(SetupDocument, OverlongTextsAreCutAtTheLastWholeCharacter) {
    testing::ScopedCodePage korean(platform::kCodePageKorean);
    SetupDocument document;
    const std::string hangul = "\xB0\xA1";  // one two-byte character
    const std::string fiveSyllables = hangul + hangul + hangul + hangul + hangul;  // 10 bytes
    document.AddFileInfo(std::string(300, 's'), std::string(259, 'n'), "f", "v", "o", fiveSyllables,
                         "a" + fiveSyllables, 0, 0, 0, 0, 0, 0);
    const FileEntry& entry = document.Files()[0];
    EXPECT_EQ(entry.SrcPath(), std::string(259, 's'));
    EXPECT_EQ(entry.FileName(), std::string(259, 'n'));
    // Ten bytes do not fit a ten-byte field; the fifth character would be split, so it goes.
    EXPECT_EQ(entry.Shortcut(), hangul + hangul + hangul + hangul);
    EXPECT_EQ(entry.DisplayName(), "a" + fiveSyllables);

    document.AddRegistryInfo("p", "k", "ab" + std::string(1023, '\xB0'), "v", 0);
    EXPECT_EQ(document.Registries()[0].Type(), "ab" + std::string(124, '\xB0'));
}

}  // namespace
}  // namespace korvane::model
