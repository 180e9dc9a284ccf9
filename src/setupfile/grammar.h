// The grammar of a setup file, declared once: its sections in the file's order, the items and
// values of each, how each value is read, written and stored, how much of it a load keeps, and
// what the command calls it in JSON (its key). Wherever a person reads a value's name (table
// headers, check, diff and stamp messages), it is the element's name. The reader, the writer,
// the command's check and its JSON and table forms all walk this declaration; a new value of an
// item is one entry here plus its field in the record.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <vector>

#include "model/kept_texts.h"
#include "model/records.h"
#include "model/setup_document.h"
#include "model/tables.h"

namespace korvane::setupfile {

inline constexpr const char* kRoot = "SETUP";

// The encoding every written file is declared in, and its XML declaration.
inline constexpr const char* kFileEncoding = "euc-kr";
inline constexpr const char* kDeclarationData = "version=\"1.0\" encoding=\"euc-kr\"";

// How many bytes of a text a load keeps, terminator included, where no record field decides.
inline constexpr std::size_t kWordCapacity = 256;
inline constexpr std::size_t kMeaningCapacity = 1024;
inline constexpr std::size_t kConfigValueCapacity = 1024;
inline constexpr std::size_t kNumberCapacity = 256;
inline constexpr std::size_t kClassCapacity = 256;
inline constexpr std::size_t kTitleCapacity = 1024;
inline constexpr std::size_t kCommandCapacity = 2048;

// How a value's text is read and written.
enum class ValueKind {
    Text,    // kept as it is
    Number,  // a decimal, read as atoi reads it
    Flag,    // set only by the exact text "1"; written as "1" or "0"
};

inline constexpr std::size_t kNotText = static_cast<std::size_t>(-1);

// One value element of an item whose values live in a record. A value is stored either as one
// of the record's texts (`text`) or as one of its numbers (`number`); a Number kept as text (a
// registry value's type) is shown and exported as the number it reads as.
template <typename Record>
struct ValueRule {
    const char* element;
    ValueKind kind;
    std::size_t capacity;  // bytes a load keeps, terminator included
    std::size_t text;      // index among the record's texts, or kNotText
    std::int32_t Record::*number;
    const char* jsonKey;

    constexpr bool StoredAsText() const { return text != kNotText; }
};

template <typename Record>
constexpr ValueRule<Record> TextValue(const char* element, typename Record::Text text,
                                      const char* jsonKey, ValueKind kind = ValueKind::Text) {
    return {element, kind, Record::kWidths[text], text, nullptr, jsonKey};
}

template <typename Record>
constexpr ValueRule<Record> NumberValue(const char* element, ValueKind kind,
                                        std::int32_t Record::*number, const char* jsonKey) {
    return {element, kind, kNumberCapacity, kNotText, number, jsonKey};
}

// Some of the positions in a section's `values` (at most N), in the order given.
template <std::size_t N>
class ValuePositions {
  public:
    constexpr ValuePositions() = default;
    constexpr ValuePositions(std::initializer_list<std::size_t> positions) {
        for (std::size_t position : positions) positions_[count_++] = position;
    }

    constexpr const std::size_t* begin() const { return positions_.data(); }
    constexpr const std::size_t* end() const { return positions_.data() + count_; }

  private:
    std::array<std::size_t, N> positions_{};
    std::size_t count_ = 0;
};

// A section of items made of values: FILES, REGISTRYS, PREKILLS, UPKILLS.
template <typename Record, std::size_t N>
struct RecordSection {
    const char* section;
    const char* item;
    std::array<ValueRule<Record>, N> values;  // in the order a save writes them
    // Positions in `values` in the order of the exports' parameters, which the command's JSON
    // and tables follow.
    std::array<std::size_t, N> exportOrder;
    // Positions in `values` of the texts that together identify an item, by which the items of
    // two descriptions are paired (`korvane diff`); none where the items form an ordered list.
    ValuePositions<N> keys;
    const model::RecordList<Record>& (model::SetupDocument::*records)() const;
    std::int32_t (model::SetupDocument::*append)(Record);
    model::KeptTable kept;  // where the file's texts of its records are kept
    const char* jsonKey;
    const char* title;
};

using model::FileEntry;
using model::KillProcessEntry;
using model::RegistryEntry;

inline constexpr RecordSection<FileEntry, 13> kFiles = {
    "FILES",
    "FILE",
    {
        TextValue<FileEntry>("SRCPATH", FileEntry::kSrcPath, "srcPath"),
        TextValue<FileEntry>("FILENAME", FileEntry::kFileName, "fileName"),
        TextValue<FileEntry>("FOLDER", FileEntry::kFolder, "folder"),
        TextValue<FileEntry>("VERSION", FileEntry::kVersion, "version"),
        TextValue<FileEntry>("TARGETOS", FileEntry::kTargetOs, "targetOs"),
        TextValue<FileEntry>("SHORTCUT", FileEntry::kShortcut, "shortcut"),
        TextValue<FileEntry>("DISPLAYNAME", FileEntry::kDisplayName, "displayName"),
        NumberValue<FileEntry>("ICONINDEX", ValueKind::Number, &FileEntry::iconIndex, "iconIndex"),
        NumberValue<FileEntry>("SELFREG", ValueKind::Flag, &FileEntry::selfReg, "selfReg"),
        NumberValue<FileEntry>("REALTIME", ValueKind::Flag, &FileEntry::realTime, "realTime"),
        NumberValue<FileEntry>("REBOOT", ValueKind::Flag, &FileEntry::reboot, "reboot"),
        NumberValue<FileEntry>("OVERWRITE", ValueKind::Number, &FileEntry::overwrite, "overwrite"),
        NumberValue<FileEntry>("FILESIZE", ValueKind::Number, &FileEntry::fileSize, "fileSize"),
    },
    {0, 1, 2, 3, 4, 5, 6, 7, 8, 11, 12, 9, 10},
    {2, 1, 4},  // FOLDER, FILENAME, TARGETOS
    &model::SetupDocument::Files,
    &model::SetupDocument::AppendFile,
    model::KeptTable::Files,
    "files",
    "Files",
};

inline constexpr RecordSection<RegistryEntry, 5> kRegistrys = {
    "REGISTRYS",
    "REGISTRY",
    {
        TextValue<RegistryEntry>("REGPATH", RegistryEntry::kRegPath, "regPath"),
        TextValue<RegistryEntry>("TYPE", RegistryEntry::kType, "type", ValueKind::Number),
        TextValue<RegistryEntry>("KEY", RegistryEntry::kKey, "key"),
        TextValue<RegistryEntry>("VALUE", RegistryEntry::kValue, "value"),
        NumberValue<RegistryEntry>("ACTION", ValueKind::Number, &RegistryEntry::action, "action"),
    },
    {0, 2, 1, 3, 4},
    {0, 2},  // REGPATH, KEY
    &model::SetupDocument::Registries,
    &model::SetupDocument::AppendRegistry,
    model::KeptTable::Registries,
    "registry",
    "Registry values",
};

inline constexpr std::array<ValueRule<KillProcessEntry>, 2> kKillProcessValues = {
    ValueRule<KillProcessEntry>{"CLASS", ValueKind::Text, kClassCapacity,
                                KillProcessEntry::kClassName, nullptr, "className"},
    ValueRule<KillProcessEntry>{"TITLE", ValueKind::Text, kTitleCapacity, KillProcessEntry::kTitle,
                                nullptr, "title"},
};

inline constexpr RecordSection<KillProcessEntry, 2> kPreKills = {
    "PREKILLS",
    "PREKILL",
    kKillProcessValues,
    {0, 1},
    {},
    &model::SetupDocument::PreKills,
    &model::SetupDocument::AppendPreKill,
    model::KeptTable::PreKills,
    "preKill",
    "Processes to stop before installing",
};

inline constexpr RecordSection<KillProcessEntry, 2> kUpKills = {
    "UPKILLS",
    "UPKILL",
    kKillProcessValues,
    {0, 1},
    {},
    &model::SetupDocument::UpKills,
    &model::SetupDocument::AppendUpKill,
    model::KeptTable::UpKills,
    "upKill",
    "Processes to stop before updating",
};

// True when `order` names each of the positions 0 to N-1 once.
template <std::size_t N>
constexpr bool IsPermutation(const std::array<std::size_t, N>& order) {
    std::array<bool, N> named{};
    for (std::size_t position : order) {
        if (position >= N || named[position]) return false;
        named[position] = true;
    }
    return true;
}

// True when every key of `rule` is a value kept as text, as the pairing compares them.
template <typename Record, std::size_t N>
constexpr bool KeysAreTexts(const RecordSection<Record, N>& rule) {
    for (std::size_t position : rule.keys) {
        if (position >= N || rule.values[position].kind != ValueKind::Text ||
            !rule.values[position].StoredAsText())
            return false;
    }
    return true;
}

static_assert(IsPermutation(kFiles.exportOrder) && IsPermutation(kRegistrys.exportOrder) &&
                  IsPermutation(kPreKills.exportOrder) && IsPermutation(kUpKills.exportOrder),
              "a section's exportOrder names each of its values once");
static_assert(KeysAreTexts(kFiles) && KeysAreTexts(kRegistrys) && KeysAreTexts(kPreKills) &&
                  KeysAreTexts(kUpKills),
              "a section's keys are values kept as texts");

// The position in `rule.values` of the value kept in the record's text `text`, or in its
// number `number`. Meant for constants: naming a field no value keeps fails to compile.
template <typename Record, std::size_t N>
constexpr std::size_t PositionOf(const RecordSection<Record, N>& rule, std::size_t text) {
    for (std::size_t position = 0; position < N; ++position) {
        if (rule.values[position].StoredAsText() && rule.values[position].text == text)
            return position;
    }
    throw std::logic_error("no value of the section is kept in that text");
}
template <typename Record, std::size_t N>
constexpr std::size_t PositionOf(const RecordSection<Record, N>& rule,
                                 std::int32_t Record::*number) {
    for (std::size_t position = 0; position < N; ++position) {
        if (!rule.values[position].StoredAsText() && rule.values[position].number == number)
            return position;
    }
    throw std::logic_error("no value of the section is kept in that number");
}

// RESERVE: items WORD, each a reserved word (SHORT, the key) and its meaning (MEAN). The
// expansion belongs to the machine and is never written.
struct ReserveSection {
    const char* section = "RESERVE";
    const char* item = "WORD";
    const char* wordElement = "SHORT";
    std::size_t wordCapacity = kWordCapacity;
    const char* meaningElement = "MEAN";
    std::size_t meaningCapacity = kMeaningCapacity;
    const char* jsonKey = "reservedWords";
    const char* title = "Reserved words";
    const char* wordJsonKey = "word";
    const char* meaningJsonKey = "meaning";
};
inline constexpr ReserveSection kReserve{};

// CONFIG: every element is a field, its name the field's name and its text the field's value.
// Having no elements of their own, the two are shown as NAME and VALUE.
struct ConfigSection {
    const char* section = "CONFIG";
    std::size_t valueCapacity = kConfigValueCapacity;
    const char* jsonKey = "config";
    const char* title = "Configuration";
    const char* nameJsonKey = "name";
    const char* nameColumn = "NAME";
    const char* valueJsonKey = "value";
    const char* valueColumn = "VALUE";
};
inline constexpr ConfigSection kConfig{};

// The four command lists: items COMMAND, each holding one command as its text.
struct CommandSection {
    const char* section;
    model::CommandKind list;
    const char* jsonKey;
    const char* title;
};
inline constexpr const char* kCommandItem = "COMMAND";
inline constexpr std::array<CommandSection, 4> kCommandSections = {{
    {"PREEXECUTE", model::CommandKind::PreExecute, "preExecute", "Commands before installing"},
    {"POSTEXECUTE", model::CommandKind::PostExecute, "postExecute", "Commands after installing"},
    {"UPDATEEXECUTE", model::CommandKind::UpdateExecute, "updateExecute", "Commands on update"},
    {"DELETEEXECUTE", model::CommandKind::DeleteExecute, "deleteExecute", "Commands on removal"},
}};

// Calls `visit` with every section's declaration, in the order of the file (and of the
// command's JSON and tables).
template <typename Visit>
void ForEachSection(Visit&& visit) {
    visit(kReserve);
    visit(kConfig);
    visit(kFiles);
    visit(kRegistrys);
    visit(kPreKills);
    visit(kUpKills);
    for (const CommandSection& commands : kCommandSections) visit(commands);
}

// What `make` gives for each section, in the order of ForEachSection: a table that code about
// sections indexes by a section's position.
template <typename T, typename Make>
std::vector<T> MapSections(Make&& make) {
    std::vector<T> table;
    ForEachSection([&](const auto& section) { table.push_back(make(section)); });
    return table;
}

}  // namespace korvane::setupfile
