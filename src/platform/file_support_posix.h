// A file opened for reading on a POSIX system, closed when it goes out of scope.
#pragma once

#include <sys/stat.h>

#include <cerrno>
#include <string>

namespace korvane::platform {

// Opens the folder of the file that `path` finally names once every symbolic link in its last
// part is followed (relative link texts from the link's own folder; the folders on the way are
// followed as the system follows them). Gives that folder's descriptor and the file's name in
// it; false, with errno set, on a loop of links, a link that cannot be read or a folder that
// cannot be opened.
bool OpenFinalFolder(const std::string& path, int& folder, std::string& name);

class PosixFile {
  public:
    // Opens `name` for reading. Never waits: a FIFO without a writer opens at once.
    explicit PosixFile(const std::string& name);
    // Takes over `descriptor` (-1 for none).
    explicit PosixFile(int descriptor) : descriptor_(descriptor), error_(descriptor < 0 ? ENOENT : 0) {}
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
