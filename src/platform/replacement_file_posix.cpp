#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <random>
#include <vector>

#include "platform/files.h"

namespace korvane::platform {
namespace {

// As many links as the system itself follows before it reports a loop.
constexpr int kMostLinksFollowed = 40;

std::string DirectoryOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string Join(const std::string& folder, const std::string& name) {
    return folder == "/" ? "/" + name : folder + "/" + name;
}

// The text of the symbolic link at `path`, or false.
bool ReadLink(const std::string& path, std::string& text) {
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t length = readlink(path.c_str(), buffer.data(), buffer.size());
        if (length < 0) return false;
        if (static_cast<std::size_t>(length) < buffer.size()) {
            text.assign(buffer.data(), static_cast<std::size_t>(length));
            return true;
        }
        buffer.resize(buffer.size() * 2);
    }
}

// The file that `path` finally names once every symbolic link in its last part is followed;
// false on a loop or a link that cannot be read. The folders on the way are left to the
// system, so ".." in a link text means what it would when the link is opened.
bool FollowLinks(std::string path, std::string& final) {
    for (int followed = 0; followed <= kMostLinksFollowed; ++followed) {
        struct stat status;
        if (lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) {
            final = path;
            return true;
        }
        std::string text;
        if (!ReadLink(path, text) || text.empty()) return false;
        path = text[0] == '/' ? text : Join(DirectoryOf(path), text);
    }
    errno = ELOOP;
    return false;
}

// Creates a new file with a short random name in `folder`, so that any name the folder can
// hold can also be saved; its descriptor (readable and writable) and name, or -1.
int CreateTemporaryFile(const std::string& folder, mode_t mode, std::string& path) {
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    static thread_local std::minstd_rand random(std::random_device{}());
    for (int attempt = 0; attempt < 32; ++attempt) {
        std::string name = ".korvane-";
        for (int letter = 0; letter < 8; ++letter) name += kLetters[random() % 36];
        path = Join(folder, name);
        const int descriptor =
            open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (descriptor >= 0 || errno != EEXIST) return descriptor;
    }
    return -1;
}

std::string SystemTemporaryFolder() {
    const char* folder = std::getenv("TMPDIR");
    return folder != nullptr && folder[0] == '/' ? folder : "/tmp";
}

// A file in the system's temporary folder that has no name: it disappears when closed.
int CreateUnnamedTemporaryFile() {
    std::string path;
    const int descriptor = CreateTemporaryFile(SystemTemporaryFolder(), 0600, path);
    if (descriptor >= 0) unlink(path.c_str());
    return descriptor;
}

bool FolderNotWritable(int error) {
    return error == EACCES || error == EPERM || error == EROFS;
}

// Gives the new file the owner, group and mode of `original`; false when that is not
// permitted. The mode comes last: a change of owner clears the set-user-ID bits.
bool TakeIdentity(int descriptor, const struct stat& original) {
    if ((original.st_uid != geteuid() || original.st_gid != getegid()) &&
        fchown(descriptor, original.st_uid, original.st_gid) != 0) {
        return false;
    }
    return fchmod(descriptor, original.st_mode & 07777) == 0;
}

bool WriteAll(int descriptor, const char* data, std::size_t size, off_t offset) {
    while (size > 0) {
        const ssize_t written = pwrite(descriptor, data, size, offset);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        data += written;
        size -= static_cast<std::size_t>(written);
        offset += written;
    }
    return true;
}

// Copies the whole of `from` over the start of `to`, cuts `to` to the same length and syncs
// it; false on any failure.
bool CopyOver(int from, int to) {
    std::vector<char> buffer(64 * 1024);
    off_t offset = 0;
    for (;;) {
        const ssize_t got = pread(from, buffer.data(), buffer.size(), offset);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return false;
        if (got == 0) break;
        if (!WriteAll(to, buffer.data(), static_cast<std::size_t>(got), offset)) return false;
        offset += got;
    }
    return ftruncate(to, offset) == 0 && fsync(to) == 0;
}

void CloseAndForget(int& descriptor) {
    if (descriptor >= 0) close(descriptor);
    descriptor = -1;
}

}  // namespace

ReplacementFile::ReplacementFile(const std::string& target) {
    if (!FollowLinks(target, target_)) {
        error_ = errno;
        return;
    }
    struct stat original;
    const bool exists = lstat(target_.c_str(), &original) == 0;
    if (exists && !S_ISREG(original.st_mode)) {
        error_ = S_ISDIR(original.st_mode) ? EISDIR : EINVAL;
        return;
    }
    if (!exists && errno != ENOENT) {
        error_ = errno;
        return;
    }
    Open(exists, original);
    if (contents_ < 0 && error_ == 0) error_ = errno != 0 ? errno : EIO;
}

void ReplacementFile::Open(bool exists, const struct stat& original) {
    // A new file gets the usual mode (0666 less the umask); an existing one its own.
    contents_ = CreateTemporaryFile(DirectoryOf(target_), exists ? 0600 : 0666, temporaryPath_);
    if (contents_ < 0) {
        temporaryPath_.clear();
        if (!exists || !FolderNotWritable(errno)) return;
        contents_ = CreateUnnamedTemporaryFile();
        if (contents_ < 0) return;
    }
    const bool inPlace = exists && (temporaryPath_.empty() || original.st_nlink > 1 ||
                                    !TakeIdentity(contents_, original));
    if (!inPlace) return;

    // The new contents only pass through the temporary file, which then needs no name.
    if (!temporaryPath_.empty()) unlink(temporaryPath_.c_str());
    temporaryPath_.clear();
    existing_ = open(target_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    struct stat opened;
    if (existing_ < 0 || fstat(existing_, &opened) != 0 || opened.st_dev != original.st_dev ||
        opened.st_ino != original.st_ino) {
        CloseAndForget(existing_);
        CloseAndForget(contents_);
    }
}

ReplacementFile::~ReplacementFile() {
    CloseAndForget(contents_);
    CloseAndForget(existing_);
    if (!temporaryPath_.empty()) unlink(temporaryPath_.c_str());
}

bool ReplacementFile::Write(const char* data, std::size_t size) {
    if (contents_ < 0 || writeFailed_) return false;
    const off_t end = lseek(contents_, 0, SEEK_END);
    writeFailed_ = end < 0 || !WriteAll(contents_, data, size, end);
    if (writeFailed_) error_ = errno != 0 ? errno : EIO;
    return !writeFailed_;
}

bool ReplacementFile::Commit() {
    if (contents_ < 0 || writeFailed_) return false;
    errno = 0;
    const bool committed = existing_ >= 0 ? CommitInPlace() : CommitByRename();
    if (!committed) error_ = errno != 0 ? errno : EIO;
    return committed;
}

bool ReplacementFile::CommitByRename() {
    if (fsync(contents_) != 0) return false;
    const int contents = contents_;
    contents_ = -1;
    if (close(contents) != 0) return false;
    if (rename(temporaryPath_.c_str(), target_.c_str()) != 0) return false;
    temporaryPath_.clear();
    // Make the rename itself durable.
    const int folder = open(DirectoryOf(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        fsync(folder);
        close(folder);
    }
    return true;
}

bool ReplacementFile::CommitInPlace() {
    // The old contents are kept in a file of their own until the new ones are durable.
    std::string copyPath;
    int copy = CreateTemporaryFile(DirectoryOf(target_), 0600, copyPath);
    if (copy < 0) copy = CreateTemporaryFile(SystemTemporaryFolder(), 0600, copyPath);
    if (copy < 0) return false;
    bool written = false;
    bool intact = true;
    if (CopyOver(existing_, copy)) {
        written = CopyOver(contents_, existing_);
        if (!written) intact = CopyOver(copy, existing_);
    }
    close(copy);
    // When the old contents could not be put back, their copy is all that is left of them.
    if (intact) unlink(copyPath.c_str());
    const int existing = existing_;
    existing_ = -1;
    return close(existing) == 0 && written;
}

}  // namespace korvane::platform
