// The export that empties the whole description.
#include "api/boundary.h"
#include "api/process_document.h"
#include "korvane.h"

int32_t KORVANE_CALL ClearInMemory(void) {
    const korvane::api::OneCallAtATime serialised;
    korvane::api::ProcessDocument().ClearAll();
    return 1;
}
