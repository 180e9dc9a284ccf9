#include "api/process_document.h"

namespace korvane::api {
namespace {

// Static storage: constructed empty when the library is loaded, destroyed (freeing every
// record) when it is unloaded.
model::SetupDocument processDocument;

}  // namespace

model::SetupDocument& ProcessDocument() {
    return processDocument;
}

}  // namespace korvane::api
