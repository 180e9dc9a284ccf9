#include "platform/standard_streams.h"

namespace korvane::platform {

// A terminal shows the bytes in the locale's encoding; nothing to set up.
void PrepareStandardStreams(std::ostream&, std::ostream&) {}

void SetStandardOutputCodePage(std::ostream& output, unsigned) {
    output.flush();
}

}  // namespace korvane::platform
