#include "model/setup_document.h"

#include <utility>

#include "model/path_expansion.h"
#include "model/table_count.h"

namespace korvane::model {
namespace {

template <typename Record>
std::int32_t AppendTo(RecordList<Record>& list, Record entry) {
    list.push_back(std::move(entry));
    return CountOf(list.size());
}

}  // namespace

std::int32_t SetupDocument::AddFileInfo(std::string_view srcPath, std::string_view fileName,
                                        std::string_view folder, std::string_view version,
                                        std::string_view targetOs, std::string_view shortcut,
                                        std::string_view displayName, std::int32_t iconIndex,
                                        std::int32_t selfReg, std::int32_t overwrite,
                                        std::int32_t fileSize, std::int32_t realTime,
                                        std::int32_t reboot) {
    FileEntry entry{{{srcPath, fileName, version, folder, targetOs, shortcut, displayName},
                     FileEntry::kWidths}};
    entry.iconIndex = iconIndex;
    entry.selfReg = selfReg;
    entry.overwrite = overwrite;
    entry.fileSize = fileSize;
    entry.realTime = realTime;
    entry.reboot = reboot;
    return AppendFile(std::move(entry));
}

std::int32_t SetupDocument::AddRegistryInfo(std::string_view regPath, std::string_view key,
                                            std::string_view type, std::string_view value,
                                            std::int32_t action) {
    RegistryEntry entry{{{regPath, type, key, value}, RegistryEntry::kWidths}};
    entry.action = action;
    return AppendRegistry(std::move(entry));
}

std::int32_t SetupDocument::AddPreKillProcess(std::string_view className, std::string_view title) {
    return AppendPreKill(KillProcessEntry{{{className, title}, KillProcessEntry::kWidths}});
}

std::int32_t SetupDocument::AddUpKillProcess(std::string_view className, std::string_view title) {
    return AppendUpKill(KillProcessEntry{{{className, title}, KillProcessEntry::kWidths}});
}

std::int32_t SetupDocument::AppendFile(FileEntry entry) {
    return AppendTo(files_, std::move(entry));
}

void SetupDocument::ReplaceFile(std::size_t position, FileEntry entry) {
    FileEntry& replaced = files_.at(position);
    for (std::size_t text = 0; text < FileEntry::kTextCount; ++text) {
        if (entry.texts[text] != replaced.texts[text]) kept_.Drop(KeptTable::Files, position, text);
    }
    replaced = std::move(entry);
}

std::int32_t SetupDocument::AppendRegistry(RegistryEntry entry) {
    return AppendTo(registries_, std::move(entry));
}

std::int32_t SetupDocument::AppendPreKill(KillProcessEntry entry) {
    return AppendTo(preKills_, std::move(entry));
}

std::int32_t SetupDocument::AppendUpKill(KillProcessEntry entry) {
    return AppendTo(upKills_, std::move(entry));
}

std::int32_t SetupDocument::AddCommand(CommandKind list, std::string_view command) {
    CommandList& commands = CommandsOf(list);
    commands.emplace_back(command);
    return CountOf(commands.size());
}

std::int32_t SetupDocument::AddReservedWord(std::string_view word, std::string_view meaning,
                                            std::string_view expansion) {
    reservedWords_.Add(word, meaning, expansion);
    return CountOf(reservedWords_.size());
}

std::int32_t SetupDocument::AddElementField(std::string_view name, std::string_view text) {
    if (elementFields_.find(name) == elementFields_.end()) {
        elementFields_.emplace(std::string(name), std::string(text));
    }
    return CountOf(elementFields_.size());
}

void SetupDocument::ClearAll() {
    files_.clear();
    registries_.clear();
    reservedWords_.clear();
    preKills_.clear();
    upKills_.clear();
    preExecute_.clear();
    postExecute_.clear();
    updateExecute_.clear();
    deleteExecute_.clear();
    elementFields_.clear();
    kept_.clear();
}

const CommandList& SetupDocument::Commands(CommandKind list) const {
    return const_cast<SetupDocument*>(this)->CommandsOf(list);
}

CommandList& SetupDocument::CommandsOf(CommandKind list) {
    switch (list) {
        case CommandKind::PreExecute:
            return preExecute_;
        case CommandKind::PostExecute:
            return postExecute_;
        case CommandKind::UpdateExecute:
            return updateExecute_;
        case CommandKind::DeleteExecute:
            break;
    }
    return deleteExecute_;
}

const std::string& SetupDocument::ElementFieldAddingAbsent(std::string_view name) {
    auto found = elementFields_.find(name);
    if (found == elementFields_.end())
        found = elementFields_.emplace(std::string(name), std::string()).first;
    return found->second;
}

std::string SetupDocument::ExpandReservedWords(std::string_view setupPath) const {
    return model::ExpandReservedWords(reservedWords_, setupPath);
}

void SetupDocument::Swap(SetupDocument& other) noexcept {
    std::swap(files_, other.files_);
    std::swap(reservedWords_, other.reservedWords_);
    std::swap(preKills_, other.preKills_);
    std::swap(upKills_, other.upKills_);
    std::swap(registries_, other.registries_);
    std::swap(elementFields_, other.elementFields_);
    std::swap(preExecute_, other.preExecute_);
    std::swap(postExecute_, other.postExecute_);
    std::swap(updateExecute_, other.updateExecute_);
    std::swap(deleteExecute_, other.deleteExecute_);
    kept_.swap(other.kept_);
}

}  // namespace korvane::model
