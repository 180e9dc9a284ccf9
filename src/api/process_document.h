// The one setup description of the process, on which every export acts.
#pragma once

#include "model/setup_document.h"

namespace korvane::api {

model::SetupDocument& ProcessDocument();

}  // namespace korvane::api
