// File operations that differ between operating systems.
#pragma once

#include <string>

namespace korvane::platform {

// Removes the file at `path` if there is one.
void RemoveFile(const std::string& path);

// True when both paths name the same existing file.
bool SameFile(const std::string& a, const std::string& b);

// The system's description of an error number.
std::string ErrorText(int error);

// A file written under a temporary name beside `target` and moved over it by Commit, so that
// the target is either left as it was or replaced whole. Destroyed without Commit, it removes
// its temporary file.
class ReplacementFile {
  public:
    explicit ReplacementFile(const std::string& target);
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    // False when no temporary file could be created beside the target.
    bool IsOpen() const { return !temporaryPath_.empty(); }
    // Where to write the new contents; the file exists, empty.
    const std::string& TemporaryPath() const { return temporaryPath_; }
    // Makes the written contents durable and moves them over the target.
    bool Commit();

  private:
    std::string target_;
    std::string temporaryPath_;
};

}  // namespace korvane::platform
