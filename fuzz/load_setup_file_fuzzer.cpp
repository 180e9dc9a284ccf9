// Feeds arbitrary bytes to the load path: the file is written to disk and loaded as a setup
// file, exactly as LoadSetupFile does it.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "model/setup_document.h"

namespace {

// One scratch file per fuzzing process, removed when it exits.
const std::string& ScratchPath() {
    static const std::string path = [] {
        char pattern[] = "/tmp/korvane-fuzz-XXXXXX";
        const int fd = mkstemp(pattern);
        if (fd < 0) std::abort();
        close(fd);
        std::string created = pattern;
        static std::string toRemove = created;
        std::atexit([] { unlink(toRemove.c_str()); });
        return created;
    }();
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& path = ScratchPath();
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) std::abort();
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    korvane::model::SetupDocument setup;
    setup.AddCommand(korvane::model::CommandKind::PreExecute, "before");
    if (setup.LoadXmlFile(path.c_str()) == 0) {
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
