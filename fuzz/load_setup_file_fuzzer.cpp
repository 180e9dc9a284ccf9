// Feeds arbitrary bytes to the load path, as LoadSetupFile hands a file's bytes to it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "model/setup_document.h"
#include "setupfile/setup_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    korvane::model::SetupDocument setup;
    setup.AddCommand(korvane::model::CommandKind::PreExecute, "before");
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (!korvane::setupfile::LoadSetupBytes(bytes, setup)) {
        // A failed load leaves the description as it was.
        if (setup.Commands(korvane::model::CommandKind::PreExecute).size() != 1) std::abort();
    }
    // Whatever was read respects the widths of the records.
    for (const auto& entry : setup.Files()) {
        if (entry.SrcPath().size() >= korvane::model::kPathWidth) std::abort();
        if (entry.Shortcut().size() >= korvane::model::kShortcutWidth) std::abort();
    }
    for (const auto& [word, meaning] : setup.ReservedWords()) {
        if (word.size() > 255) std::abort();
    }
    return 0;
}
