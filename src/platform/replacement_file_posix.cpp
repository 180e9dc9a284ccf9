// Replacing a file's contents on POSIX systems. The target's folder is opened once; every later
// step (the check of the target, the new file, its rename, the journal, the clean-up) is made
// relative to that folder's descriptor, so a folder renamed or swapped during the save cannot
// send any of them into another folder.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <new>
#include <optional>
#include <random>
#include <vector>

#include "platform/file_support_posix.h"
#include "platform/files.h"
#include "platform/save_journal_posix.h"
#include "platform/system_calls_posix.h"

namespace korvane::platform {
namespace {

// Creates a new file with a short random name in `folder`, so that any name the folder can
// hold can also be saved; its descriptor (readable and writable) and name, or -1.
int CreateTemporaryFile(int folder, mode_t mode, std::string& name) {
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device random;
    for (int attempt = 0; attempt < 32; ++attempt) {
        name = ".korvane-";
        for (int letter = 0; letter < 8; ++letter) name += kLetters[random() % 36];
        const int descriptor = SystemCalls().openat(
            folder, name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (descriptor >= 0 || errno != EEXIST) return descriptor;
    }
    return -1;
}

// A new file without a name in `folder`, readable and writable; -1 when none can be made.
int CreateUnnamedFile(int folder) {
#ifdef O_TMPFILE
    const int unnamed = SystemCalls().openat(folder, ".", O_RDWR | O_TMPFILE | O_CLOEXEC, 0600);
    // Where the file system has no such files, one is made and its name removed at once.
    if (unnamed >= 0 || (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL))
        return unnamed;
#endif
    std::string name;
    const int descriptor = CreateTemporaryFile(folder, 0600, name);
    if (descriptor >= 0) SystemCalls().unlinkat(folder, name.c_str(), 0);
    return descriptor;
}

// Opens the system's temporary folder; -1 when it cannot be opened.
int OpenSystemTemporaryFolder() {
    const char* path = std::getenv("TMPDIR");
    return open(path != nullptr && path[0] == '/' ? path : "/tmp",
                O_RDONLY | O_DIRECTORY | O_CLOEXEC);
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

void CloseAndForget(int& descriptor) {
    if (descriptor >= 0) close(descriptor);
    descriptor = -1;
}

}  // namespace

// What a replacement holds on POSIX systems: descriptors relative to the target's folder.
struct ReplacementFile::State {
    explicit State(const std::string& target);
    ~State();
    bool Write(const char* data, std::size_t size);
    bool Commit();

    void Open(bool exists, const struct stat& original);
    bool CommitByRename();
    bool CommitInPlace();
    int WriteInPlaceWithoutJournal();

    int folder_ = -1;            // the folder of the file finally named, links followed
    std::string name_;           // that file's name in it
    std::string temporaryName_;  // the named file of new contents, while it has a name
    int contents_ = -1;          // the new contents
    int existing_ = -1;          // the target, when it is written in place
    unsigned long long device_ = 0, inode_ = 0;  // the target's identity, when it exists
    bool writeFailed_ = false;
    int error_ = 0;
};

ReplacementFile::State::State(const std::string& target) {
    if (!OpenFinalFolder(target, folder_, name_)) {
        error_ = errno;
        return;
    }
    struct stat original;
    const bool exists = fstatat(folder_, name_.c_str(), &original, AT_SYMLINK_NOFOLLOW) == 0;
    if (exists && !S_ISREG(original.st_mode)) {
        error_ = S_ISDIR(original.st_mode) ? EISDIR : EINVAL;
        return;
    }
    if (!exists && errno != ENOENT) {
        error_ = errno;
        return;
    }
    if (exists) {
        device_ = original.st_dev;
        inode_ = original.st_ino;
    }
    Open(exists, original);
    if (contents_ < 0 && error_ == 0) error_ = errno != 0 ? errno : EIO;
}

void ReplacementFile::State::Open(bool exists, const struct stat& original) {
    if (!exists) {
        // A new file gets the usual mode (0666 less the umask).
        contents_ = CreateTemporaryFile(folder_, 0666, temporaryName_);
        if (contents_ < 0) temporaryName_.clear();
        return;
    }
    // Whether a new file can take the target's identity is tried on a file without a name, so
    // that a process ended meanwhile leaves nothing behind.
    contents_ = CreateUnnamedFile(folder_);
    if (contents_ < 0 && FolderNotWritable(errno)) {
        const int temporary = OpenSystemTemporaryFolder();
        if (temporary < 0) return;
        contents_ = CreateUnnamedFile(temporary);
        close(temporary);
        if (contents_ < 0) return;
    } else if (contents_ < 0) {
        return;
    } else if (original.st_nlink == 1 && TakeIdentity(contents_, original)) {
        CloseAndForget(contents_);
        contents_ = CreateTemporaryFile(folder_, 0600, temporaryName_);
        if (contents_ >= 0 && TakeIdentity(contents_, original)) return;
        if (contents_ >= 0) SystemCalls().unlinkat(folder_, temporaryName_.c_str(), 0);
        temporaryName_.clear();
        CloseAndForget(contents_);
        return;
    }
    // Written in place: the new contents only pass through the file without a name.
    existing_ = SystemCalls().openat(folder_, name_.c_str(),
                                     O_RDWR | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC, 0);
    struct stat opened;
    if (existing_ < 0 || fstat(existing_, &opened) != 0 || opened.st_dev != original.st_dev ||
        opened.st_ino != original.st_ino) {
        CloseAndForget(existing_);
        CloseAndForget(contents_);
    }
}

ReplacementFile::State::~State() {
    CloseAndForget(contents_);
    CloseAndForget(existing_);
    if (!temporaryName_.empty()) SystemCalls().unlinkat(folder_, temporaryName_.c_str(), 0);
    CloseAndForget(folder_);
}

bool ReplacementFile::State::Write(const char* data, std::size_t size) {
    if (contents_ < 0 || writeFailed_) return false;
    off_t end = lseek(contents_, 0, SEEK_END);
    writeFailed_ = end < 0;
    while (!writeFailed_ && size > 0) {
        const ssize_t written = SystemCalls().pwrite(contents_, data, size, end);
        if (written < 0 && errno == EINTR) continue;
        writeFailed_ = written <= 0;
        if (writeFailed_) break;
        data += written;
        size -= static_cast<std::size_t>(written);
        end += written;
    }
    if (writeFailed_) error_ = errno != 0 ? errno : EIO;
    return !writeFailed_;
}

bool ReplacementFile::State::Commit() {
    if (contents_ < 0 || writeFailed_) return false;
    errno = 0;
    const bool committed = existing_ >= 0 ? CommitInPlace() : CommitByRename();
    if (!committed) error_ = errno != 0 ? errno : EIO;
    return committed;
}

bool ReplacementFile::State::CommitByRename() {
    // A journal that an unfinished write into the replaced file left is of no use once the file
    // is replaced. Named before the rename, since naming it allocates: once the file is
    // replaced, nothing may fail.
    std::optional<SaveJournal> leftOver;
    if (inode_ != 0) {
        struct stat replaced = {};
        replaced.st_dev = static_cast<dev_t>(device_);
        replaced.st_ino = static_cast<ino_t>(inode_);
        leftOver.emplace(folder_, replaced);
    }
    if (SystemCalls().fsync(contents_) != 0) return false;
    const int contents = contents_;
    contents_ = -1;
    if (close(contents) != 0) return false;
    if (SystemCalls().renameat(folder_, temporaryName_.c_str(), folder_, name_.c_str()) != 0)
        return false;
    temporaryName_.clear();
    // Make the rename itself durable.
    SystemCalls().fsync(folder_);
    if (leftOver) leftOver->RemoveLeftOver();
    return true;
}

bool ReplacementFile::State::CommitInPlace() {
    struct stat target = {};
    target.st_dev = static_cast<dev_t>(device_);
    target.st_ino = static_cast<ino_t>(inode_);
    SaveJournal journal(folder_, target);
    int error = journal.Begin(existing_);
    if (error == 0) {
        const bool written = CopyOver(contents_, existing_);
        error = written ? 0 : errno != 0 ? errno : EIO;
        if (written) {
            journal.Finish();
        } else {
            journal.Restore(existing_);
        }
    } else if (FolderNotWritable(error)) {
        error = WriteInPlaceWithoutJournal();
    }
    const int existing = existing_;
    existing_ = -1;
    const bool closed = close(existing) == 0;
    if (error != 0) errno = error;
    return closed && error == 0;
}

}  // namespace korvane::platform

namespace korvane::platform {

// No journal can be kept beside the file. The old contents are kept in the system's temporary
// folder instead, and put back when the write fails; a process ended during the write leaves
// that copy there, the only one of the old contents, and the file may be half written.
int ReplacementFile::State::WriteInPlaceWithoutJournal() {
    const int temporary = OpenSystemTemporaryFolder();
    if (temporary < 0) return errno;
    std::string name;
    const int copy = CreateTemporaryFile(temporary, 0600, name);
    int error = copy < 0 ? errno : 0;
    bool intact = true;
    if (error == 0 && !CopyOver(existing_, copy)) error = errno != 0 ? errno : EIO;
    if (error == 0 && !CopyOver(contents_, existing_)) {
        error = errno != 0 ? errno : EIO;
        intact = CopyOver(copy, existing_);
    }
    if (copy >= 0) close(copy);
    // When the old contents could not be put back, their copy is all that is left of them.
    if (copy >= 0 && intact) SystemCalls().unlinkat(temporary, name.c_str(), 0);
    close(temporary);
    return error;
}

ReplacementFile::ReplacementFile(const std::string& target)
    : state_(new (std::nothrow) State(target)) {}

ReplacementFile::~ReplacementFile() = default;

bool ReplacementFile::IsOpen() const {
    return state_ != nullptr && state_->contents_ >= 0;
}

bool ReplacementFile::Write(const char* data, std::size_t size) {
    return state_ != nullptr && state_->Write(data, size);
}

bool ReplacementFile::Commit() {
    return state_ != nullptr && state_->Commit();
}

int ReplacementFile::Error() const {
    return state_ != nullptr ? state_->error_ : ENOMEM;
}

}  // namespace korvane::platform
