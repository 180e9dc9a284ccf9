// The export that empties the whole description.
#include "api/boundary.h"
#include "api/process_document.h"
#include "korvane.h"

int32_t KORVANE_CALL ClearInMemory(void) {
    const korvane::api::OneCallAtATime serialised;
    // Emptying frees and allocates nothing; the guard keeps it so should that change.
    return korvane::api::Guarded(
        [] {
            korvane::api::ProcessDocument().ClearAll();
            return 1;
        },
        [] { return 1; });
}
