#include "platform/program_path.h"

#include <windows.h>

#include <vector>

#include "platform/code_page.h"

namespace korvane::platform {

std::string ProgramFolder() {
    // The module's path can be longer than MAX_PATH; the buffer grows until it fits.
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return std::string();
        if (length < path.size()) {
            const std::string program = FromUtf16(
                std::u16string_view(reinterpret_cast<const char16_t*>(path.data()), length));
            return ParentFolder(program);
        }
        path.resize(path.size() * 2);
    }
}

std::string ParentFolder(std::string_view path) {
    // Walked by characters: a trail byte of a double-byte character can be a backslash.
    std::size_t separator = std::string_view::npos;
    for (std::size_t at = 0; at < path.size();) {
        if (path[at] == '\\' || path[at] == '/') separator = at;
        at += CharLength(path.data() + at, path.size() - at);
    }
    if (separator == std::string_view::npos) return std::string();
    // A drive's root keeps its separator: C:\ .
    const bool driveRoot = separator == 2 && path[1] == ':';
    return std::string(path.substr(0, driveRoot ? separator + 1 : separator));
}

std::string JoinPath(std::string_view folder, std::string_view relative) {
    std::string joined(folder);
    if (!joined.empty() && joined.back() != '\\' && joined.back() != '/') joined += '\\';
    for (const char c : relative) joined += c == '/' ? '\\' : c;
    return joined;
}

}  // namespace korvane::platform
