#include "platform/system_calls_windows.h"

namespace korvane::platform {

WindowsCalls& SystemCalls() {
    static WindowsCalls calls = {CreateFileW, WriteFile,   FlushFileBuffers,
                                 ReplaceFileW, MoveFileExW, DeleteFileW};
    return calls;
}

}  // namespace korvane::platform
