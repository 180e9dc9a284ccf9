#include "platform/file_tree.h"

#include <dirent.h>
#include <sys/stat.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/code_page.h"

namespace korvane::platform {

PathKind KindOf(const std::string& path) {
    struct stat status;
    if (stat(path.c_str(), &status) != 0) return PathKind::Missing;
    if (S_ISREG(status.st_mode)) return PathKind::RegularFile;
    if (S_ISDIR(status.st_mode)) return PathKind::Folder;
    return PathKind::Other;
}

std::string AbsolutePath(const std::string& path, std::string& failure) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    if (error) {
        failure = error.message();
        return std::string();
    }
    return absolute.string();
}

bool PathExists(const std::string& path) {
    struct stat status;
    return lstat(path.c_str(), &status) == 0;
}

bool FileSizeOf(const std::string& path, std::uint64_t& size) {
    struct stat status;
    if (stat(path.c_str(), &status) != 0 || status.st_size < 0) return false;
    size = static_cast<std::uint64_t>(status.st_size);
    return true;
}

std::vector<std::string> NamesInFolder(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* stream = opendir(folder.c_str())) {
        while (const dirent* entry = readdir(stream)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..") names.push_back(name);
        }
        closedir(stream);
    }
    return names;
}

bool NamesIgnoreCase() {
    return false;
}

std::string ResolvedPath(const std::string& path) {
    char* resolved = realpath(path.c_str(), nullptr);
    if (resolved == nullptr) return std::string();
    std::string result = resolved;
    std::free(resolved);
    return result;
}

bool LiesWithin(const std::string& inner, const std::string& folder) {
    if (folder.empty() || inner.compare(0, folder.size(), folder) != 0) return false;
    // "/" is the one resolved folder that ends in a separator.
    return inner.size() == folder.size() || folder.back() == '/' || inner[folder.size()] == '/';
}

bool FileNameOfText(std::string_view text, std::string& name) {
    return ToUtf8(text, name);
}

std::string FileNameOfUtf8(std::string_view utf8) {
    return std::string(utf8);
}

}  // namespace korvane::platform
