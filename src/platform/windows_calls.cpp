#include "platform/windows_calls.h"

namespace korvane::platform {

WindowsCalls& SystemCalls() {
    static WindowsCalls calls = {CreateFileW, WriteFile,   FlushFileBuffers,
                                 ReplaceFileW, MoveFileExW, DeleteFileW};
    return calls;
}

}  // namespace korvane::platform
