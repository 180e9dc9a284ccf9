#include "platform/command_line.h"

namespace korvane::platform {

int FirstArgumentNotWhole() {
    return 0;
}

}  // namespace korvane::platform
