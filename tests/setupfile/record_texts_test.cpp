// Records built from the texts of their values, the one way a load, the command's JSON form and
// stamp build them, and the texts a save writes for them.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "setupfile/grammar.h"
#include "setupfile/record_texts.h"

namespace korvane::setupfile {
namespace {

using model::FileEntry;
using model::RegistryEntry;

constexpr std::size_t kFileValues = kFiles.values.size();

template <std::size_t N>
std::array<std::string_view, N> Views(const std::array<std::string, N>& texts) {
    std::array<std::string_view, N> views;
    for (std::size_t i = 0; i < N; ++i) views[i] = texts[i];
    return views;
}

// The texts of a FILE in the order a save writes its values, each different from the others
// where its kind allows.
std::array<std::string, kFileValues> FileTexts() {
    return {"bin\\app.exe", "app.exe", "[APPDIR]", "1.2.3.4", "NT", "DESK",
            "App",          "3",       "1",        "0",       "1",  "2",
            "512"};
}

TEST(RecordFromTexts, PutsEachValueOfAFileInItsField) {
    const FileEntry file = RecordFromTexts(kFiles, Views(FileTexts()));
    EXPECT_EQ(file.SrcPath(), "bin\\app.exe");
    EXPECT_EQ(file.FileName(), "app.exe");
    EXPECT_EQ(file.Folder(), "[APPDIR]");
    EXPECT_EQ(file.Version(), "1.2.3.4");
    EXPECT_EQ(file.TargetOs(), "NT");
    EXPECT_EQ(file.Shortcut(), "DESK");
    EXPECT_EQ(file.DisplayName(), "App");
    EXPECT_EQ(file.iconIndex, 3);
    EXPECT_EQ(file.selfReg, 1);
    EXPECT_EQ(file.realTime, 0);
    EXPECT_EQ(file.reboot, 1);
    EXPECT_EQ(file.overwrite, 2);
    EXPECT_EQ(file.fileSize, 512);
}

// Flags can only be 0 or 1, so each is set alone to tell them apart.
TEST(RecordFromTexts, SetsEachFlagOfAFileAlone) {
    for (std::size_t set = 0; set < kFiles.values.size(); ++set) {
        if (kFiles.values[set].kind != ValueKind::Flag) continue;
        SCOPED_TRACE(kFiles.values[set].element);
        std::array<std::string, kFileValues> texts = FileTexts();
        for (std::size_t position = 0; position < texts.size(); ++position) {
            if (kFiles.values[position].kind == ValueKind::Flag)
                texts[position] = position == set ? "1" : "0";
        }
        const FileEntry file = RecordFromTexts(kFiles, Views(texts));
        for (std::size_t position = 0; position < texts.size(); ++position) {
            const ValueRule<FileEntry>& value = kFiles.values[position];
            if (value.kind == ValueKind::Flag) {
                EXPECT_EQ(file.*value.number, position == set ? 1 : 0) << value.element;
            }
        }
    }
}

TEST(RecordFromTexts, ReadsNumbersAndFlagsAsALoadDoes) {
    std::array<std::string, kFileValues> texts = FileTexts();
    texts[PositionOf(kFiles, &FileEntry::iconIndex)] = " 12abc";
    texts[PositionOf(kFiles, &FileEntry::overwrite)] = "";
    texts[PositionOf(kFiles, &FileEntry::fileSize)] = "99999999999";
    for (const char* notSet : {"2", " 1", "01", "1 ", "true", ""}) {
        texts[PositionOf(kFiles, &FileEntry::selfReg)] = notSet;
        const FileEntry file = RecordFromTexts(kFiles, Views(texts));
        EXPECT_EQ(file.selfReg, 0) << "'" << notSet << "'";
        EXPECT_EQ(file.iconIndex, 12);
        EXPECT_EQ(file.overwrite, 0);
        EXPECT_EQ(file.fileSize, INT32_MAX);
    }

    // A registry value's type reads as a number but is kept as the file has it.
    const RegistryEntry registry =
        RecordFromTexts(kRegistrys, Views<5>({"Software\\App", "0x4", "Path", "C:\\", "7th"}));
    EXPECT_EQ(registry.Type(), "0x4");
    EXPECT_EQ(registry.action, 7);
}

TEST(RecordFromTexts, CutsATextLongerThanItsFieldAsALoadDoes) {
    std::array<std::string, kFileValues> texts = FileTexts();
    texts[PositionOf(kFiles, FileEntry::kTargetOs)] = std::string(40, 'x');
    const FileEntry file = RecordFromTexts(kFiles, Views(texts));
    EXPECT_EQ(file.TargetOs(), std::string(model::kTargetOsWidth - 1, 'x'));
}

// Stamp carries a FILE over through these texts, so every value must come back unchanged.
TEST(ValueText, ReadsBackAsTheSameValue) {
    const std::array<std::string, kFileValues> texts = FileTexts();
    const FileEntry file = RecordFromTexts(kFiles, Views(texts));
    for (std::size_t position = 0; position < texts.size(); ++position)
        EXPECT_EQ(ValueText(file, kFiles.values[position]), texts[position])
            << kFiles.values[position].element;

    FileEntry flagged = RecordFromTexts(kFiles, Views(texts));
    flagged.realTime = -5;  // any non-zero number sets a flag
    flagged.iconIndex = INT32_MIN;
    EXPECT_EQ(ValueText(flagged, kFiles.values[PositionOf(kFiles, &FileEntry::realTime)]), "1");
    EXPECT_EQ(ValueText(flagged, kFiles.values[PositionOf(kFiles, &FileEntry::iconIndex)]),
              "-2147483648");
}

}  // namespace
}  // namespace korvane::setupfile
