// The system calls through which the Windows file code creates, writes, flushes, replaces and
// removes files: one table of function pointers, the system's own by default. A test puts a
// function of its own in an entry, to make that step fail or pause, and puts the old one back
// afterwards. Internal: the DLL does not export it.
#pragma once

#include <windows.h>

namespace korvane::platform {

struct WindowsCalls {
    HANDLE(WINAPI* createFile)(LPCWSTR name, DWORD access, DWORD sharing,
                               LPSECURITY_ATTRIBUTES security, DWORD disposition, DWORD flags,
                               HANDLE model);
    BOOL(WINAPI* writeFile)(HANDLE file, LPCVOID data, DWORD size, LPDWORD written,
                            LPOVERLAPPED overlapped);
    BOOL(WINAPI* flushFileBuffers)(HANDLE file);
    BOOL(WINAPI* replaceFile)(LPCWSTR replaced, LPCWSTR replacement, LPCWSTR backup, DWORD flags,
                              LPVOID exclude, LPVOID reserved);
    BOOL(WINAPI* moveFileEx)(LPCWSTR from, LPCWSTR to, DWORD flags);
    BOOL(WINAPI* deleteFile)(LPCWSTR name);
};

// The table in use.
WindowsCalls& SystemCalls();

}  // namespace korvane::platform
