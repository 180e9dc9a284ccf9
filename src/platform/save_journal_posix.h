// The journal of a file written in place on POSIX systems: a copy of its old contents in the
// file's folder, named from the file's device and inode, that lets a write in place be undone
// after the process that made it was ended halfway.
//
// The copy is written under a temporary name, synced and renamed to the journal's name: a file
// under that name is complete. Its writer holds an advisory lock (flock) on it until the new
// contents are synced and the journal is removed, so a journal that another process can lock
// was left by a save that did not finish: the next save of the file puts those old contents
// back first, and a load reads them instead of the file's.
#pragma once

#include <sys/stat.h>

#include <string>

namespace korvane::platform {

class SaveJournal {
  public:
    // The journal of the file `target` (its status) in the open folder `folder`.
    SaveJournal(int folder, const struct stat& target);
    ~SaveJournal();
    SaveJournal(const SaveJournal&) = delete;
    SaveJournal& operator=(const SaveJournal&) = delete;

    // Prepares a write into the file open as `file` (readable and writable): waits for another
    // save of the same file to finish, puts back the old contents that a save ended halfway
    // left, then keeps the contents `file` has now. Returns 0, or the system's error number
    // (nothing is then kept, and `file` is as it was or as the unfinished save found it).
    int Begin(int file);
    // The new contents of the file are durable: the journal goes.
    void Finish();
    // Writing the new contents failed: the old ones are put back into `file`; true when they
    // were (the journal then goes; otherwise it stays for the next save or load).
    bool Restore(int file);
    // The file was replaced whole by another: a journal or pending copy of its old inode that no
    // save holds goes.
    void RemoveLeftOver();

    // The journal left by a save of the file `target` (its status) in `folder` that did not
    // finish, open for reading; -1 when there is none.
    static int OpenLeftOver(int folder, const struct stat& target);

  private:
    int folder_;
    std::string name_;      // the journal's name in the folder
    std::string pending_;   // its name while it is written
    int journal_ = -1;      // the locked journal of this save
};

// Copies the whole of `from` over the start of `to`, cuts `to` to the same length and syncs
// it; false on any failure.
bool CopyOver(int from, int to);

}  // namespace korvane::platform
