#include "platform/posix_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace korvane::platform {

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
