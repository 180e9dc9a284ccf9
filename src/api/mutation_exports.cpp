// The exports that add entries. Each forwards to one operation of the setup document and
// returns the size of the table written.
#include "api/boundary.h"
#include "api/process_document.h"
#include "korvane.h"
#include "model/decimal.h"
#include "model/null_text.h"

using korvane::api::CountOf;
using korvane::api::Guarded;
using korvane::api::OneCallAtATime;
using korvane::api::ProcessDocument;
using korvane::model::CommandKind;
using korvane::model::TextOrEmpty;

namespace {

std::int32_t AddCommand(CommandKind list, const char* command) {
    auto& document = ProcessDocument();
    return Guarded([&] { return document.AddCommand(list, TextOrEmpty(command)); },
                   [&] { return CountOf(document.Commands(list).size()); });
}

}  // namespace

int32_t KORVANE_CALL SetElementField(const char* name, const char* text) {
    const OneCallAtATime serialised;
    auto& document = ProcessDocument();
    return Guarded([&] { return document.AddElementField(TextOrEmpty(name), TextOrEmpty(text)); },
                   [&] { return CountOf(document.ElementFields().size()); });
}

int32_t KORVANE_CALL SetFileInfo(const char* srcPath, const char* fileName, const char* folder,
                                 const char* version, const char* targetOs, const char* shortcut,
                                 const char* displayName, int32_t iconIndex, int32_t selfReg,
                                 int32_t overwrite, int32_t fileSize, int32_t realTime,
                                 int32_t reboot) {
    const OneCallAtATime serialised;
    auto& document = ProcessDocument();
    return Guarded(
        [&] {
            return document.AddFileInfo(TextOrEmpty(srcPath), TextOrEmpty(fileName),
                                        TextOrEmpty(folder), TextOrEmpty(version),
                                        TextOrEmpty(targetOs), TextOrEmpty(shortcut),
                                        TextOrEmpty(displayName), iconIndex, selfReg, overwrite,
                                        fileSize, realTime, reboot);
        },
        [&] { return CountOf(document.Files().size()); });
}

int32_t KORVANE_CALL SetRegistryInfo(const char* regPath, const char* key, int32_t type,
                                     const char* value, int32_t action) {
    const OneCallAtATime serialised;
    auto& document = ProcessDocument();
    return Guarded(
        [&] {
            // The model keeps the type as its "%d" text.
            return document.AddRegistryInfo(TextOrEmpty(regPath), TextOrEmpty(key),
                                            korvane::model::FormatDecimal(type), TextOrEmpty(value),
                                            action);
        },
        [&] { return CountOf(document.Registries().size()); });
}

int32_t KORVANE_CALL SetPreKillProcess(const char* className, const char* title) {
    const OneCallAtATime serialised;
    auto& document = ProcessDocument();
    return Guarded(
        [&] { return document.AddPreKillProcess(TextOrEmpty(className), TextOrEmpty(title)); },
        [&] { return CountOf(document.PreKills().size()); });
}

int32_t KORVANE_CALL SetUpKillProcess(const char* className, const char* title) {
    const OneCallAtATime serialised;
    auto& document = ProcessDocument();
    return Guarded(
        [&] { return document.AddUpKillProcess(TextOrEmpty(className), TextOrEmpty(title)); },
        [&] { return CountOf(document.UpKills().size()); });
}

int32_t KORVANE_CALL SetPreExecute(const char* command) {
    const OneCallAtATime serialised;
    return AddCommand(CommandKind::PreExecute, command);
}

int32_t KORVANE_CALL SetPostExecute(const char* command) {
    const OneCallAtATime serialised;
    return AddCommand(CommandKind::PostExecute, command);
}

int32_t KORVANE_CALL SetUpdateExecute(const char* command) {
    const OneCallAtATime serialised;
    return AddCommand(CommandKind::UpdateExecute, command);
}

int32_t KORVANE_CALL SetDeleteExecute(const char* command) {
    const OneCallAtATime serialised;
    return AddCommand(CommandKind::DeleteExecute, command);
}
