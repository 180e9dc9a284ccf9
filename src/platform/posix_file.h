// A file opened for reading on a POSIX system, closed when it goes out of scope.
#pragma once

#include <sys/stat.h>

#include <string>

namespace korvane::platform {

class PosixFile {
  public:
    // Opens `name` for reading. Never waits: a FIFO without a writer opens at once.
    explicit PosixFile(const std::string& name);
    ~PosixFile();
    PosixFile(const PosixFile&) = delete;
    PosixFile& operator=(const PosixFile&) = delete;

    bool IsOpen() const { return descriptor_ >= 0; }
    // The system's error number when the file could not be opened.
    int Error() const { return error_; }
    int Descriptor() const { return descriptor_; }

    // The file's status; false when the file is not open or the status cannot be read.
    bool Status(struct stat& status) const;

  private:
    int descriptor_;
    int error_ = 0;
};

}  // namespace korvane::platform
