#include "platform/program_path.h"

#include <filesystem>
#include <system_error>

namespace korvane::platform {

std::string ProgramFolder() {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : program.parent_path().string();
}

std::string ParentFolder(std::string_view path) {
    const std::size_t separator = path.find_last_of('/');
    if (separator == std::string_view::npos) return std::string();
    return std::string(path.substr(0, separator == 0 ? 1 : separator));
}

std::string JoinPath(std::string_view folder, std::string_view relative) {
    std::string joined(folder);
    if (!joined.empty() && joined.back() != '/') joined += '/';
    return joined.append(relative);
}

}  // namespace korvane::platform
