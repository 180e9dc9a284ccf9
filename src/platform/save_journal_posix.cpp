#include "platform/save_journal_posix.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <vector>

#include "platform/system_calls_posix.h"

namespace korvane::platform {
namespace {

std::string JournalName(const struct stat& target) {
    char name[64];
    std::snprintf(name, sizeof name, ".korvane-journal-%llx-%llx",
                  static_cast<unsigned long long>(target.st_dev),
                  static_cast<unsigned long long>(target.st_ino));
    return name;
}

// Waits for the lock on `descriptor`; false on failure.
bool Lock(int descriptor) {
    while (SystemCalls().flock(descriptor, LOCK_EX) != 0) {
        if (errno != EINTR) return false;
    }
    return true;
}

// True when `name` in `folder` is still the file open as `descriptor`: a lock taken on a file
// that lost its name meanwhile guards nothing.
bool StillNamed(int folder, const std::string& name, int descriptor) {
    struct stat opened, named;
    return fstat(descriptor, &opened) == 0 &&
           fstatat(folder, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
           opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

// Opens `name` in `folder` (creating it when `create`) and locks it, once it is certain that
// the lock is on the file of that name; -1 with errno set when it cannot be opened.
int OpenLocked(int folder, const std::string& name, bool create) {
    for (;;) {
        const int flags = O_RDWR | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC | (create ? O_CREAT : 0);
        const int descriptor = SystemCalls().openat(folder, name.c_str(), flags, 0600);
        if (descriptor < 0) return -1;
        if (!Lock(descriptor)) {
            const int error = errno;
            close(descriptor);
            errno = error;
            return -1;
        }
        if (StillNamed(folder, name, descriptor)) return descriptor;
        close(descriptor);
        if (!create) {
            errno = ENOENT;
            return -1;
        }
    }
}

bool WriteAll(int descriptor, const char* data, std::size_t size, off_t offset) {
    while (size > 0) {
        const ssize_t written = SystemCalls().pwrite(descriptor, data, size, offset);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        data += written;
        size -= static_cast<std::size_t>(written);
        offset += written;
    }
    return true;
}

}  // namespace

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
    return SystemCalls().ftruncate(to, offset) == 0 && SystemCalls().fsync(to) == 0;
}

SaveJournal::SaveJournal(int folder, const struct stat& target)
    : folder_(folder), name_(JournalName(target)), pending_(name_ + ".new") {}

SaveJournal::~SaveJournal() {
    if (journal_ >= 0) close(journal_);
}

int SaveJournal::Begin(int file) {
    // The pending copy's lock is held by one save of this file at a time.
    const int copy = OpenLocked(folder_, pending_, true);
    if (copy < 0) return errno;
    int error = 0;
    // A journal whose lock is free belongs to a save that was ended before it finished; one
    // whose lock is held, to a save that finishes soon.
    for (;;) {
        const int left = OpenLocked(folder_, name_, false);
        if (left < 0) {
            if (errno != ENOENT) error = errno;
            break;
        }
        const bool restored = CopyOver(left, file);
        if (!restored) error = errno != 0 ? errno : EIO;
        if (restored) SystemCalls().unlinkat(folder_, name_.c_str(), 0);
        close(left);
        if (!restored) break;
    }
    if (error == 0 && !CopyOver(file, copy)) error = errno != 0 ? errno : EIO;
    if (error == 0 &&
        SystemCalls().renameat(folder_, pending_.c_str(), folder_, name_.c_str()) != 0) {
        error = errno;
    }
    // The journal's name must be durable before the file is written.
    if (error == 0 && SystemCalls().fsync(folder_) != 0) error = errno;
    if (error != 0) {
        SystemCalls().unlinkat(folder_, StillNamed(folder_, name_, copy) ? name_.c_str()
                                                                         : pending_.c_str(), 0);
        close(copy);
        return error;
    }
    journal_ = copy;
    return 0;
}

void SaveJournal::Finish() {
    if (journal_ < 0) return;
    SystemCalls().unlinkat(folder_, name_.c_str(), 0);
    SystemCalls().fsync(folder_);
    close(journal_);
    journal_ = -1;
}

bool SaveJournal::Restore(int file) {
    if (journal_ < 0 || !CopyOver(journal_, file)) return false;
    Finish();
    return true;
}

void SaveJournal::RemoveLeftOver() {
    for (const std::string* name : {&name_, &pending_}) {
        const int descriptor =
            SystemCalls().openat(folder_, name->c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC, 0);
        if (descriptor < 0) continue;
        if (SystemCalls().flock(descriptor, LOCK_EX | LOCK_NB) == 0 &&
            StillNamed(folder_, *name, descriptor)) {
            SystemCalls().unlinkat(folder_, name->c_str(), 0);
        }
        close(descriptor);
    }
}

int SaveJournal::OpenLeftOver(int folder, const struct stat& target) {
    return SystemCalls().openat(folder, JournalName(target).c_str(),
                                O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0);
}

}  // namespace korvane::platform
