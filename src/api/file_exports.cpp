// The exports that read and write setup files: the process document through setupfile/.
#include "api/boundary.h"
#include "api/process_document.h"
#include "korvane.h"
#include "setupfile/setup_file.h"

using korvane::api::Guarded;
using korvane::api::OneCallAtATime;
using korvane::api::ProcessDocument;

int32_t KORVANE_CALL LoadSetupFile(const char* path) {
    const OneCallAtATime serialised;
    if (path == nullptr) return 0;
    return Guarded(
        [&] { return korvane::setupfile::LoadSetupFile(path, ProcessDocument()) ? 1 : 0; },
        [] { return 0; });
}

int32_t KORVANE_CALL SaveSetupFile(const char* path) {
    const OneCallAtATime serialised;
    if (path == nullptr) return 0;
    return Guarded(
        [&] { return korvane::setupfile::SaveSetupFile(ProcessDocument(), path) ? 1 : 0; },
        [] { return 0; });
}
