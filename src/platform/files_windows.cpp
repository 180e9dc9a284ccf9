// File operations on Windows, through the wide-character functions; error numbers as errno.h
// names them, so that callers see the same numbers on every system.
#include <cerrno>
#include <cstring>
#include <new>

#include "platform/file_support_windows.h"
#include "platform/files.h"
#include "platform/read_to_end.h"
#include "platform/system_calls_windows.h"

namespace korvane::platform {
namespace {

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Opens `path` for its identity only: no access to the contents, every sharing granted.
HANDLE OpenForIdentity(const std::wstring& path) {
    return CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

}  // namespace

// Removing a file never fails for want of memory, which would leave a scratch file behind: the
// path is then handed over as it is, in the ANSI code page.
void RemoveFile(const std::string& path) {
    std::wstring wide;
    try {
        wide = WidePath(path);
    } catch (const std::bad_alloc&) {
        DeleteFileA(path.c_str());
        return;
    }
    SystemCalls().deleteFile(wide.c_str());
}

bool SameFile(const std::string& a, const std::string& b) {
    const FileHandle first(OpenForIdentity(WidePath(a)));
    const FileHandle second(OpenForIdentity(WidePath(b)));
    BY_HANDLE_FILE_INFORMATION one, other;
    return first.IsOpen() && second.IsOpen() && GetFileInformationByHandle(first.Get(), &one) &&
           GetFileInformationByHandle(second.Get(), &other) &&
           one.dwVolumeSerialNumber == other.dwVolumeSerialNumber &&
           one.nFileIndexHigh == other.nFileIndexHigh && one.nFileIndexLow == other.nFileIndexLow;
}

std::string ErrorText(int error) {
    return std::strerror(error);
}

int WriteNewFile(const std::string& path, const ContentsWriter& contents) {
    const std::wstring wide = WidePath(path);
    FileHandle file(SystemCalls().createFile(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                             FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsOpen()) {
        // What could not be replaced is more telling than that it is there.
        const int error = LastErrorNumber();
        return IsFolder(wide) ? EISDIR : error;
    }
    int error = 0;
    const PieceWriter write = [&file, &error](const char* data, std::size_t size) {
        if (error == 0 && !WriteWhole(file.Get(), data, size)) error = LastErrorNumber();
        return error == 0;
    };
    try {
        contents(write);
    } catch (...) {
        file.Close();
        SystemCalls().deleteFile(wide.c_str());
        throw;
    }
    if (!file.Close() && error == 0) error = LastErrorNumber();
    if (error != 0) SystemCalls().deleteFile(wide.c_str());
    return error;
}

int ReadRegularFile(const std::string& path, std::size_t maxBytes, std::string& bytes) {
    bytes.clear();
    const std::wstring wide = WidePath(path);
    if (IsFolder(wide)) return EISDIR;
    const FileHandle file(CreateFileW(wide.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsOpen()) return LastErrorNumber();
    // Pipes, consoles and devices are not files to read whole.
    if (GetFileType(file.Get()) != FILE_TYPE_DISK) return EINVAL;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.Get(), &size)) return LastErrorNumber();
    if (static_cast<unsigned long long>(size.QuadPart) > maxBytes) return EFBIG;
    return ReadToEnd(static_cast<std::size_t>(size.QuadPart), maxBytes, bytes,
                     [&file](char* buffer, std::size_t room, std::size_t& got) {
                         DWORD count = 0;
                         if (!ReadFile(file.Get(), buffer,
                                       room > 0x40000000u ? 0x40000000u : static_cast<DWORD>(room),
                                       &count, nullptr))
                             return LastErrorNumber();
                         got = count;
                         return 0;
                     });
}

int ReadSavedFile(const std::string& path, std::size_t maxBytes, std::string& bytes) {
    return ReadRegularFile(path, maxBytes, bytes);
}

}  // namespace korvane::platform
