// The export that empties the whole description.
#include "api/process_document.h"
#include "korvane.h"

int32_t KORVANE_CALL ClearInMemory(void) {
    korvane::api::ProcessDocument().ClearAll();
    return 1;
}
