#include "platform/posix_file.h"

#include <fcntl.h>
#include <unistd.h>

namespace korvane::platform {

PosixFile::PosixFile(const std::string& name)
    : descriptor_(open(name.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)) {}

PosixFile::~PosixFile() {
    if (descriptor_ >= 0) close(descriptor_);
}

bool PosixFile::Status(struct stat& status) const {
    return descriptor_ >= 0 && fstat(descriptor_, &status) == 0;
}

}  // namespace korvane::platform
