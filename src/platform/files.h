// File operations that differ between operating systems, chosen at link time: each system's
// files_*.cpp and replacement_file_*.cpp define them (see README.md beside this file).
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>

namespace korvane::platform {

// Removes the file at `path` if there is one.
void RemoveFile(const std::string& path);

// True when both paths name the same existing file.
bool SameFile(const std::string& a, const std::string& b);

// The system's description of an error number.
std::string ErrorText(int error);

// Appends a piece to a new file's contents; false once a piece could not be written (the rest
// is then not written either).
using PieceWriter = std::function<bool(const char* data, std::size_t size)>;
// Writes a new file's contents, all of them, through the PieceWriter it is handed.
using ContentsWriter = std::function<void(const PieceWriter& write)>;

// Creates the file `path`, which must not exist (a link there is not followed), and writes
// `size` bytes into it, without making them durable: for a scratch file that is removed again
// soon. Returns 0, or the system's error number; a file that could not be written whole is
// removed.
int WriteNewFile(const std::string& path, const char* data, std::size_t size);

// The same with the contents written piece by piece by `contents`, which is called only once
// the file exists, so that they need never be held whole. The file is also removed when
// `contents` throws, and the exception passed on.
int WriteNewFile(const std::string& path, const ContentsWriter& contents);

// Writes `size` bytes as WriteNewFile does, into a new file named `prefix`, eight random letters
// and digits, and `suffix`: a name that no file had, so that no other writer shares it. Returns
// 0 and the name in `name`, or the system's error number (EEXIST when no free name was found).
int WriteScratchFile(const std::string& prefix, const std::string& suffix, const char* data,
                     std::size_t size, std::string& name);

// The same with the contents written piece by piece by `contents` (see WriteNewFile), which is
// called at most once: not at all when no file could be created.
int WriteScratchFile(const std::string& prefix, const std::string& suffix,
                     const ContentsWriter& contents, std::string& name);

// The most a file read whole may hold.
inline constexpr std::size_t kMaxReadBytes = 256u * 1024 * 1024;

// Reads the whole file at `path` into `bytes`. The file is opened without waiting (a FIFO
// without a writer does not block) and read only when it is a regular file of at most
// `maxBytes` bytes. Returns 0, or the system's error number: EISDIR for a directory, EINVAL for
// another file that is not regular, EFBIG for a file larger than `maxBytes`.
int ReadRegularFile(const std::string& path, std::size_t maxBytes, std::string& bytes);

// Reads the setup file at `path` as ReadRegularFile does. On POSIX systems, where a save that
// wrote the file in place was ended before it finished, the contents the file had before that
// save (kept beside it, see ReplacementFile) are read instead. Writes nothing.
int ReadSavedFile(const std::string& path, std::size_t maxBytes, std::string& bytes);

// New contents for the file at `target`, which ends up either as it was or holding them whole,
// also when the process is ended at any point of the save.
//
// On POSIX systems a symbolic link is followed (chains too, relative link texts from the link's
// folder) and the file it finally names is written; a dangling link gets that file created. A
// loop of links, or a target that exists and is not a regular file, is refused: IsOpen is false.
// The folder of that file is opened once, and every later step is made within it, so renaming
// or swapping a folder during the save cannot redirect any of them.
//
// The contents go to a file with a short temporary name in the target's folder, which Commit
// syncs and renames over the target, keeping the target's owner, group and mode. Where a rename
// cannot keep the file's identity (it has several hard links, its owner or group cannot be
// given to the new file, or its folder is not writable), Commit instead writes the finished
// contents into the existing file. It first keeps the old contents in a journal beside the file
// (".korvane-journal-" and the file's device and inode), synced, which it removes once the new
// contents are synced; a save ended halfway leaves that journal, and the next save of the file
// puts the old contents back before it writes, while a load reads the journal instead of the
// file. Where the folder is not writable, the old contents are kept in the system's temporary
// folder ($TMPDIR, or /tmp) instead: a failed write still puts them back, but a process ended
// during the write can leave the file half written and that copy behind. A process ended
// between the creation and the rename of the temporary file leaves that file; otherwise no
// file of its own is left behind, whatever happens.
//
// On Windows the target's full path is resolved first; a folder is refused. Commit flushes the
// file of new contents and puts it in place with ReplaceFileW, which keeps the target's
// attributes and security, or, when there is no target yet, moves it there with write-through.
class ReplacementFile {
  public:
    explicit ReplacementFile(const std::string& target);
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    // False when the target is refused or no file for the new contents could be made.
    bool IsOpen() const;
    // Appends to the new contents; false when they could not be written, and Commit then fails.
    bool Write(const char* data, std::size_t size);
    // Makes the new contents durable and puts them in place of the target's; false when the
    // target is as it was.
    bool Commit();
    // The system's error number of the first failure (EISDIR or EINVAL for a target that is
    // not a regular file, ENOMEM when the replacement itself could not be allocated); 0 while
    // nothing failed.
    int Error() const;

  private:
    struct State;  // what each system keeps, defined in its replacement_file_*.cpp
    std::unique_ptr<State> state_;
};

}  // namespace korvane::platform
