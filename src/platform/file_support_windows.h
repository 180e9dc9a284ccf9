// Helpers that the Windows file code shares: wide paths, handles that close themselves, and
// Windows error codes as the error numbers the rest of the library reports.
#pragma once

#include <windows.h>

#include <string>

namespace korvane::platform {

// `path`, a text in the ANSI code page as the "A" functions take it, in UTF-16.
std::wstring WidePath(const std::string& path);

// The full path of `path`, resolved against the current folder; `path` itself when it cannot
// be resolved.
std::wstring FullPath(const std::wstring& path);

// The error number (errno.h) that stands for the Windows error `error`; EIO for those without one.
int ErrorNumberOf(DWORD error);

// The error number of the calling thread's last Windows error.
inline int LastErrorNumber() {
    return ErrorNumberOf(GetLastError());
}

// A file handle, closed when it goes out of scope.
class FileHandle {
  public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() { Close(); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return handle_; }
    // Closes the handle now; false when closing failed.
    bool Close() {
        const bool closed = !IsOpen() || CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
        return closed;
    }

  private:
    HANDLE handle_;
};

// Writes all `size` bytes of `data` to `file` at its current position; false on any failure.
bool WriteWhole(HANDLE file, const char* data, std::size_t size);

}  // namespace korvane::platform
