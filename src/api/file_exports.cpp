// The exports that read and write setup files.
#include "api/boundary.h"
#include "api/process_document.h"
#include "korvane.h"

using korvane::api::Guarded;
using korvane::api::ProcessDocument;

int32_t KORVANE_CALL LoadSetupFile(const char* path) {
    return Guarded([&] { return ProcessDocument().LoadXmlFile(path); }, [] { return 0; });
}

int32_t KORVANE_CALL SaveSetupFile(const char* path) {
    return Guarded([&] { return ProcessDocument().SaveXmlFile(path); }, [] { return 0; });
}
