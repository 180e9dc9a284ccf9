#include "platform/file_tree.h"

#include <windows.h>

#include <vector>

#include "platform/code_page.h"
#include "platform/file_support_windows.h"
#include "platform/files.h"

namespace korvane::platform {
namespace {

bool Attributes(const std::string& path, WIN32_FILE_ATTRIBUTE_DATA& data) {
    return GetFileAttributesExW(WidePath(path).c_str(), GetFileExInfoStandard, &data) != 0;
}

// A handle to what `path` finally names, links followed, that reads nothing of it.
HANDLE OpenForQueries(const std::string& path) {
    return CreateFileW(WidePath(path).c_str(), FILE_READ_ATTRIBUTES,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

bool IsSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

}  // namespace

PathKind KindOf(const std::string& path) {
    const FileHandle file(OpenForQueries(path));
    BY_HANDLE_FILE_INFORMATION information;
    if (!file.IsOpen() || !GetFileInformationByHandle(file.Get(), &information))
        return PathKind::Missing;
    if (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return PathKind::Folder;
    return GetFileType(file.Get()) == FILE_TYPE_DISK ? PathKind::RegularFile : PathKind::Other;
}

std::string AbsolutePath(const std::string& path, std::string& failure) {
    // The "A" function, so that the path stays in the ANSI code page, as given.
    const DWORD needed = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
    std::vector<char> full(needed + 1);
    const DWORD length =
        needed == 0 ? 0 : GetFullPathNameA(path.c_str(), needed + 1, full.data(), nullptr);
    if (length == 0 || length > needed) {
        failure = ErrorText(LastErrorNumber());
        return std::string();
    }
    return std::string(full.data(), length);
}

bool PathExists(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    return Attributes(path, data);
}

bool FileSizeOf(const std::string& path, std::uint64_t& size) {
    const FileHandle file(OpenForQueries(path));
    LARGE_INTEGER length;
    if (!file.IsOpen() || !GetFileSizeEx(file.Get(), &length) || length.QuadPart < 0) return false;
    size = static_cast<std::uint64_t>(length.QuadPart);
    return true;
}

std::vector<std::string> NamesInFolder(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW((WidePath(folder) + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..")
            names.push_back(FromUtf16(std::u16string_view(
                reinterpret_cast<const char16_t*>(name.data()), name.size())));
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

bool NamesIgnoreCase() {
    return true;
}

std::string ResolvedPath(const std::string& path) {
    const FileHandle file(OpenForQueries(path));
    if (!file.IsOpen()) return std::string();
    const DWORD needed = GetFinalPathNameByHandleW(file.Get(), nullptr, 0, FILE_NAME_NORMALIZED);
    if (needed == 0) return std::string();
    std::vector<wchar_t> wide(needed + 1);
    const DWORD length =
        GetFinalPathNameByHandleW(file.Get(), wide.data(), needed + 1, FILE_NAME_NORMALIZED);
    if (length == 0 || length > needed) return std::string();
    // Kept in UTF-16 terms as UTF-8, so that no character is lost to the code page.
    std::wstring resolved(wide.data(), length);
    while (resolved.size() > 3 && IsSeparator(resolved.back())) resolved.pop_back();
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, resolved.data(),
                                          static_cast<int>(resolved.size()), nullptr, 0,
                                          nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, resolved.data(), static_cast<int>(resolved.size()),
                        utf8.data(), bytes, nullptr, nullptr);
    return utf8;
}

bool LiesWithin(const std::string& inner, const std::string& folder) {
    // Both come from the file system's own final names, so the case of the folder's part agrees.
    if (folder.empty() || inner.compare(0, folder.size(), folder) != 0) return false;
    return inner.size() == folder.size() || folder.back() == '\\' || inner[folder.size()] == '\\';
}

bool FileNameOfText(std::string_view text, std::string& name) {
    name = std::string(text);
    return true;
}

std::string FileNameOfUtf8(std::string_view utf8) {
    return FromUtf8(utf8);
}

}  // namespace korvane::platform
