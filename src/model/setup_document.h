// The setup description in memory: one table per section of a setup file, the operations that
// add entries, and emptying the whole description. Plain data: reading and writing setup files
// is the business of setupfile/.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "model/kept_texts.h"
#include "model/records.h"
#include "model/tables.h"

namespace korvane::model {

class SetupDocument {
  public:
    // Each Add operation returns the number of entries in the table it wrote, counted after
    // the call. Texts longer than their field are cut at the last whole character that fits.

    // Parameters in the order of the export, which puts `folder` before `version`.
    std::int32_t AddFileInfo(std::string_view srcPath, std::string_view fileName,
                             std::string_view folder, std::string_view version,
                             std::string_view targetOs, std::string_view shortcut,
                             std::string_view displayName, std::int32_t iconIndex,
                             std::int32_t selfReg, std::int32_t overwrite, std::int32_t fileSize,
                             std::int32_t realTime, std::int32_t reboot);
    // `type` is already decimal text.
    std::int32_t AddRegistryInfo(std::string_view regPath, std::string_view key,
                                 std::string_view type, std::string_view value,
                                 std::int32_t action);
    std::int32_t AddPreKillProcess(std::string_view className, std::string_view title);
    std::int32_t AddUpKillProcess(std::string_view className, std::string_view title);
    std::int32_t AddCommand(CommandKind list, std::string_view command);
    // Append a record built whole.
    std::int32_t AppendFile(FileEntry entry);
    std::int32_t AppendRegistry(RegistryEntry entry);
    std::int32_t AppendPreKill(KillProcessEntry entry);
    std::int32_t AppendUpKill(KillProcessEntry entry);
    // Puts `entry` in place of the file entry at `position`, which must exist: how a tool
    // updates an entry it has read (sizes and versions) without rebuilding the list. A text
    // that stays as it was keeps the file's text kept for it; a changed text drops it.
    void ReplaceFile(std::size_t position, FileEntry entry);
    // Keyed tables: the first entry given for a key wins; a repeated key changes nothing.
    std::int32_t AddReservedWord(std::string_view word, std::string_view meaning,
                                 std::string_view expansion);
    std::int32_t AddElementField(std::string_view name, std::string_view text);

    // The file's own texts of values and keys that the code page cannot hold (see
    // kept_texts.h). The reader keeps them as it adds the entries they belong to.
    const KeptTexts& Kept() const { return kept_; }
    KeptTexts& Kept() { return kept_; }

    // Frees every record and empties every table.
    void ClearAll();

    // Exchanges every table with `other`'s.
    void Swap(SetupDocument& other) noexcept;

    const RecordList<FileEntry>& Files() const { return files_; }
    const RecordList<RegistryEntry>& Registries() const { return registries_; }
    const RecordList<KillProcessEntry>& PreKills() const { return preKills_; }
    const RecordList<KillProcessEntry>& UpKills() const { return upKills_; }
    const CommandList& Commands(CommandKind list) const;
    const ReservedWordTable& ReservedWords() const { return reservedWords_; }
    const ElementFieldTable& ElementFields() const { return elementFields_; }

    // The text of a configuration field. A name not in the table is added first with an empty
    // text, so that it is counted and saved from then on.
    const std::string& ElementFieldAddingAbsent(std::string_view name);

    // `setupPath` with every reserved word replaced by its expansion (see path_expansion.h).
    std::string ExpandReservedWords(std::string_view setupPath) const;

  private:
    CommandList& CommandsOf(CommandKind list);

    // Declared in the order of the description's sections in memory.
    RecordList<FileEntry> files_;
    ReservedWordTable reservedWords_;
    RecordList<KillProcessEntry> preKills_;
    RecordList<KillProcessEntry> upKills_;
    RecordList<RegistryEntry> registries_;
    ElementFieldTable elementFields_;
    CommandList preExecute_;
    CommandList postExecute_;
    CommandList updateExecute_;
    CommandList deleteExecute_;
    KeptTexts kept_;
};

}  // namespace korvane::model
