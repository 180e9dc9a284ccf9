#include "platform/system_calls_posix.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <unistd.h>

namespace korvane::platform {
namespace {

int OpenAt(int folder, const char* name, int flags, mode_t mode) {
    return ::openat(folder, name, flags, mode);
}

}  // namespace

PosixCalls& SystemCalls() {
    static PosixCalls calls = {OpenAt, ::write,    ::pwrite,   ::ftruncate,
                               ::fsync, ::renameat, ::unlinkat, ::flock};
    return calls;
}

}  // namespace korvane::platform
