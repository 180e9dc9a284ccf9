#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>

#include "platform/files.h"

namespace korvane::platform {
namespace {

// Closes a descriptor on every path out of a function.
class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

std::string DirectoryOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// A name that no other writer in this or another process picks at the same moment.
std::string TemporaryNameBeside(const std::string& target) {
    static std::atomic<unsigned> counter{0};
    static thread_local std::minstd_rand random(std::random_device{}());
    return target + ".korvane-" + std::to_string(getpid()) + "-" + std::to_string(counter++) + "-" +
           std::to_string(random());
}

}  // namespace

void RemoveFile(const std::string& path) {
    unlink(path.c_str());
}

bool SameFile(const std::string& a, const std::string& b) {
    struct stat first, second;
    return stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

std::string ErrorText(int error) {
    return std::strerror(error);
}

ReplacementFile::ReplacementFile(const std::string& target) : target_(target) {
    // A directory (or anything else that is not a regular file) is never replaced.
    struct stat status;
    const bool targetExists = stat(target.c_str(), &status) == 0;
    if (targetExists && !S_ISREG(status.st_mode)) return;
    for (int attempt = 0; attempt < 16; ++attempt) {
        const std::string candidate = TemporaryNameBeside(target);
        // 0666 less the umask, as any newly created file; an existing target's mode is kept.
        FileDescriptor file(open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (file.get() >= 0) {
            if (targetExists) fchmod(file.get(), status.st_mode & 07777);
            temporaryPath_ = candidate;
            return;
        }
        if (errno != EEXIST) return;
    }
}

ReplacementFile::~ReplacementFile() {
    if (!temporaryPath_.empty()) unlink(temporaryPath_.c_str());
}

bool ReplacementFile::Commit() {
    if (temporaryPath_.empty()) return false;
    {
        FileDescriptor file(open(temporaryPath_.c_str(), O_WRONLY | O_CLOEXEC));
        if (file.get() < 0 || fsync(file.get()) != 0) return false;
    }
    if (rename(temporaryPath_.c_str(), target_.c_str()) != 0) return false;
    temporaryPath_.clear();
    // Make the rename itself durable.
    FileDescriptor directory(
        open(DirectoryOf(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.get() >= 0) fsync(directory.get());
    return true;
}

}  // namespace korvane::platform
