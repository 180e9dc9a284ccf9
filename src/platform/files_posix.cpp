#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/file_support_posix.h"
#include "platform/files.h"
#include "platform/read_to_end.h"
#include "platform/save_journal_posix.h"
#include "platform/system_calls_posix.h"

namespace korvane::platform {

void RemoveFile(const std::string& path) {
    unlink(path.c_str());
}

int WriteNewFile(const std::string& path, const ContentsWriter& contents) {
    const int file = SystemCalls().openat(AT_FDCWD, path.c_str(),
                                          O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (file < 0) {
        // What could not be removed is more telling than that it is still there.
        const int error = errno;
        struct stat status;
        if (error == EEXIST && lstat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode))
            return EISDIR;
        return error;
    }
    int error = 0;
    const PieceWriter write = [file, &error](const char* data, std::size_t size) {
        while (size > 0 && error == 0) {
            const ssize_t written = SystemCalls().write(file, data, size);
            if (written < 0) {
                if (errno != EINTR) error = errno;
                continue;
            }
            data += written;
            size -= static_cast<std::size_t>(written);
        }
        return error == 0;
    };
    try {
        contents(write);
    } catch (...) {
        close(file);
        unlink(path.c_str());
        throw;
    }
    if (close(file) != 0 && error == 0) error = errno;
    if (error != 0) unlink(path.c_str());
    return error;
}

bool SameFile(const std::string& a, const std::string& b) {
    struct stat first, second;
    return stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

std::string ErrorText(int error) {
    return std::strerror(error);
}

namespace {

// Reads the whole of the open file `file` into `bytes`, as ReadRegularFile does.
int ReadWhole(const PosixFile& file, std::size_t maxBytes, std::string& bytes) {
    bytes.clear();
    if (!file.IsOpen()) return file.Error();
    struct stat status = {};
    if (!file.Status(status)) return errno;
    if (!S_ISREG(status.st_mode)) return S_ISDIR(status.st_mode) ? EISDIR : EINVAL;
    if (static_cast<unsigned long long>(status.st_size) > maxBytes) return EFBIG;
    return ReadToEnd(static_cast<std::size_t>(status.st_size), maxBytes, bytes,
                     [&file](char* buffer, std::size_t room, std::size_t& got) {
                         ssize_t count = -1;
                         do {
                             count = read(file.Descriptor(), buffer, room);
                         } while (count < 0 && errno == EINTR);
                         if (count < 0) return errno;
                         got = static_cast<std::size_t>(count);
                         return 0;
                     });
}

}  // namespace

int ReadRegularFile(const std::string& path, std::size_t maxBytes, std::string& bytes) {
    return ReadWhole(PosixFile(path), maxBytes, bytes);
}

int ReadSavedFile(const std::string& path, std::size_t maxBytes, std::string& bytes) {
    const PosixFile file(path);
    struct stat status = {};
    int folder = -1;
    std::string name;
    if (file.Status(status) && S_ISREG(status.st_mode) && OpenFinalFolder(path, folder, name)) {
        const PosixFile journal(SaveJournal::OpenLeftOver(folder, status));
        close(folder);
        if (journal.IsOpen()) return ReadWhole(journal, maxBytes, bytes);
    }
    return ReadWhole(file, maxBytes, bytes);
}

}  // namespace korvane::platform
