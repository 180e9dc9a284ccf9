// The system calls through which the POSIX file code creates, writes, syncs, renames, removes
// and locks files: one table of function pointers, the system's own by default. A test puts a
// function of its own in an entry, to make that step fail, pause or end the process, and puts
// the old one back afterwards. Internal: the shared library does not export it.
#pragma once

#include <sys/types.h>

#include <cstddef>

namespace korvane::platform {

struct PosixCalls {
    int (*openat)(int folder, const char* name, int flags, mode_t mode);
    ssize_t (*write)(int descriptor, const void* data, std::size_t size);
    ssize_t (*pwrite)(int descriptor, const void* data, std::size_t size, off_t offset);
    int (*ftruncate)(int descriptor, off_t size);
    int (*fsync)(int descriptor);
    int (*renameat)(int fromFolder, const char* from, int toFolder, const char* to);
    int (*unlinkat)(int folder, const char* name, int flags);
    int (*flock)(int descriptor, int operation);
};

// The table in use.
PosixCalls& SystemCalls();

}  // namespace korvane::platform
