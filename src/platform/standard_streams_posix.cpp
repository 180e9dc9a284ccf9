#include "platform/standard_streams.h"

#include <iostream>

namespace korvane::platform {

// A terminal shows the bytes in the locale's encoding; nothing to set up.
void PrepareStandardStreams() {}

void SetStandardOutputCodePage(unsigned) {
    std::cout.flush();
}

}  // namespace korvane::platform
