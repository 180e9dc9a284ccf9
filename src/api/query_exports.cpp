// The exports that count and read entries. An indexed getter given a position outside its
// table returns 0 and writes nothing. Counting and copying allocate nothing today; the guards
// keep every export answering 0, rather than throwing, should that change.
#include <string>
#include <vector>

#include "api/boundary.h"
#include "api/process_document.h"
#include "korvane.h"
#include "model/decimal.h"
#include "model/null_text.h"
#include "setupfile/savable_name.h"

using korvane::api::CopyOut;
using korvane::api::CountOf;
using korvane::api::Guarded;
using korvane::api::OneCallAtATime;
using korvane::api::ProcessDocument;
using korvane::api::StoreOut;
using korvane::model::CommandKind;

namespace {

// The element at `index`, or null when the position is outside the list.
template <typename List>
const typename List::value_type* At(const List& list, int32_t index) {
    if (index < 0 || static_cast<std::size_t>(index) >= list.size()) return nullptr;
    return &list[static_cast<std::size_t>(index)];
}

int32_t CommandCount(CommandKind list) {
    return Guarded([list] { return CountOf(ProcessDocument().Commands(list).size()); });
}

int32_t GetCommand(CommandKind list, int32_t index, char* command) {
    return Guarded([&] {
        const std::string* stored = At(ProcessDocument().Commands(list), index);
        if (stored == nullptr) return 0;
        CopyOut(command, *stored);
        return 1;
    });
}

int32_t GetKillProcess(const korvane::model::RecordList<korvane::model::KillProcessEntry>& list,
                       int32_t index, char* className, char* title) {
    return Guarded([&] {
        const auto* entry = At(list, index);
        if (entry == nullptr) return 0;
        CopyOut(className, entry->ClassName());
        CopyOut(title, entry->Title());
        return 1;
    });
}

}  // namespace

int32_t KORVANE_CALL GetFileCount(void) {
    const OneCallAtATime serialised;
    return Guarded([] { return CountOf(ProcessDocument().Files().size()); });
}

int32_t KORVANE_CALL GetRegistryCount(void) {
    const OneCallAtATime serialised;
    return Guarded([] { return CountOf(ProcessDocument().Registries().size()); });
}

int32_t KORVANE_CALL GetReservedWordCount(void) {
    const OneCallAtATime serialised;
    return Guarded([] { return CountOf(ProcessDocument().ReservedWords().size()); });
}

int32_t KORVANE_CALL GetPreKillProcessCount(void) {
    const OneCallAtATime serialised;
    return Guarded([] { return CountOf(ProcessDocument().PreKills().size()); });
}

int32_t KORVANE_CALL GetUpKillProcessCount(void) {
    const OneCallAtATime serialised;
    return Guarded([] { return CountOf(ProcessDocument().UpKills().size()); });
}

int32_t KORVANE_CALL GetPreExecuteCount(void) {
    const OneCallAtATime serialised;
    return CommandCount(CommandKind::PreExecute);
}
int32_t KORVANE_CALL GetPostExecuteCount(void) {
    const OneCallAtATime serialised;
    return CommandCount(CommandKind::PostExecute);
}
int32_t KORVANE_CALL GetUpdateExecuteCount(void) {
    const OneCallAtATime serialised;
    return CommandCount(CommandKind::UpdateExecute);
}
int32_t KORVANE_CALL GetDeleteExecuteCount(void) {
    const OneCallAtATime serialised;
    return CommandCount(CommandKind::DeleteExecute);
}

int32_t KORVANE_CALL GetFileInfo(int32_t index, char* srcPath, char* fileName, char* folder,
                                 char* version, char* targetOs, char* shortcut, char* displayName,
                                 int32_t* iconIndex, int32_t* selfReg, int32_t* overwrite,
                                 int32_t* fileSize, int32_t* realTime, int32_t* reboot) {
    const OneCallAtATime serialised;
    return Guarded([&] {
        const auto* found = At(ProcessDocument().Files(), index);
        if (found == nullptr) return 0;
        const korvane::model::FileEntry& entry = *found;
        CopyOut(srcPath, entry.SrcPath());
        CopyOut(fileName, entry.FileName());
        CopyOut(folder, entry.Folder());
        CopyOut(version, entry.Version());
        CopyOut(targetOs, entry.TargetOs());
        CopyOut(shortcut, entry.Shortcut());
        CopyOut(displayName, entry.DisplayName());
        StoreOut(iconIndex, entry.iconIndex);
        StoreOut(selfReg, entry.selfReg);
        StoreOut(overwrite, entry.overwrite);
        StoreOut(fileSize, entry.fileSize);
        StoreOut(realTime, entry.realTime);
        StoreOut(reboot, entry.reboot);
        return 1;
    });
}

int32_t KORVANE_CALL GetRegistryInfo(int32_t index, char* regPath, char* key, int32_t* type,
                                     char* value, int32_t* action) {
    const OneCallAtATime serialised;
    return Guarded([&] {
        const auto* found = At(ProcessDocument().Registries(), index);
        if (found == nullptr) return 0;
        const korvane::model::RegistryEntry& entry = *found;
        CopyOut(regPath, entry.RegPath());
        CopyOut(key, entry.Key());
        StoreOut(type, korvane::model::ParseDecimal(entry.Type()));
        CopyOut(value, entry.Value());
        StoreOut(action, entry.action);
        return 1;
    });
}

int32_t KORVANE_CALL GetPreKillProcess(int32_t index, char* className, char* title) {
    const OneCallAtATime serialised;
    return GetKillProcess(ProcessDocument().PreKills(), index, className, title);
}

int32_t KORVANE_CALL GetUpKillProcess(int32_t index, char* className, char* title) {
    const OneCallAtATime serialised;
    return GetKillProcess(ProcessDocument().UpKills(), index, className, title);
}

int32_t KORVANE_CALL GetPreExecute(int32_t index, char* command) {
    const OneCallAtATime serialised;
    return GetCommand(CommandKind::PreExecute, index, command);
}

int32_t KORVANE_CALL GetPostExecute(int32_t index, char* command) {
    const OneCallAtATime serialised;
    return GetCommand(CommandKind::PostExecute, index, command);
}

int32_t KORVANE_CALL GetUpdateExecute(int32_t index, char* command) {
    const OneCallAtATime serialised;
    return GetCommand(CommandKind::UpdateExecute, index, command);
}

int32_t KORVANE_CALL GetDeleteExecute(int32_t index, char* command) {
    const OneCallAtATime serialised;
    return GetCommand(CommandKind::DeleteExecute, index, command);
}

int32_t KORVANE_CALL GetElementField(const char* name, char* value) {
    const OneCallAtATime serialised;
    return Guarded(
        [&] {
            const std::string_view key = korvane::model::TextOrEmpty(name);
            // Copy before writing out: `value` may be the buffer that holds `name`.
            std::string text;
            const auto& fields = ProcessDocument().ElementFields();
            if (const auto found = fields.find(key); found != fields.end()) {
                text = found->second;
            } else if (korvane::setupfile::IsSavableFieldName(key)) {
                // Only a name that the next save can write is added.
                text = ProcessDocument().ElementFieldAddingAbsent(key);
            }
            CopyOut(value, text);
            return 1;
        },
        [&] {
            CopyOut(value, "");
            return 1;
        });
}
