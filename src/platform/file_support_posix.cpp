#include "platform/file_support_posix.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace korvane::platform {
namespace {

// As many links as the system itself follows before it reports a loop.
constexpr int kMostLinksFollowed = 40;

// The text of the symbolic link `name` in `folder`, or false.
bool ReadLink(int folder, const std::string& name, std::string& text) {
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t length = readlinkat(folder, name.c_str(), buffer.data(), buffer.size());
        if (length < 0) return false;
        if (static_cast<std::size_t>(length) < buffer.size()) {
            text.assign(buffer.data(), static_cast<std::size_t>(length));
            return true;
        }
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace

bool OpenFinalFolder(const std::string& path, int& folder, std::string& name) {
    folder = -1;
    std::string where = path;
    int base = AT_FDCWD;
    for (int followed = 0;; ++followed) {
        const std::size_t slash = where.rfind('/');
        const std::string within = slash == std::string::npos ? "."
                                   : slash == 0               ? "/"
                                                              : where.substr(0, slash);
        name = slash == std::string::npos ? where : where.substr(slash + 1);
        if (name.empty()) name = ".";
        // The folders on the way are the system's to follow, as for any other path.
        const int next = openat(base, within.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        const int error = errno;
        if (folder >= 0) close(folder);
        folder = next;
        if (folder < 0) {
            errno = error;
            return false;
        }
        struct stat status;
        if (fstatat(folder, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISLNK(status.st_mode)) {
            return true;
        }
        std::string text;
        if (followed == kMostLinksFollowed || !ReadLink(folder, name, text) || text.empty()) {
            if (followed == kMostLinksFollowed) errno = ELOOP;
            if (text.empty()) errno = ENOENT;
            const int failure = errno;
            close(folder);
            folder = -1;
            errno = failure;
            return false;
        }
        // A relative link text counts from the link's own folder.
        base = text[0] == '/' ? AT_FDCWD : folder;
        where = text;
    }
}

PosixFile::PosixFile(const std::string& name)
    : descriptor_(open(name.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)) {
    if (descriptor_ < 0) error_ = errno;
}

PosixFile::~PosixFile() {
    if (descriptor_ >= 0) close(descriptor_);
}

bool PosixFile::Status(struct stat& status) const {
    return descriptor_ >= 0 && fstat(descriptor_, &status) == 0;
}

}  // namespace korvane::platform
