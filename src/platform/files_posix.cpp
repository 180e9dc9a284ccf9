#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "platform/files.h"

namespace korvane::platform {

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

}  // namespace korvane::platform
