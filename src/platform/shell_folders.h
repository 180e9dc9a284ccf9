// What the system tells about its standard folders: the questions the special-folder resolver
// asks, behind an interface so that the resolver is written once and tests can answer like any
// machine.
#pragma once

#include <string>

namespace korvane::platform {

class ShellFolders {
  public:
    virtual ~ShellFolders() = default;

    // The shell's path of the folder with the Windows shell's CSIDL number `csidl`, without a
    // trailing backslash unless it is a drive root; empty when the shell has no such folder.
    virtual std::string FolderPath(int csidl) const = 0;

    // The system folder (C:\WINDOWS\system32); empty when the system does not say.
    virtual std::string SystemDirectory() const = 0;

    // The Windows folder (C:\WINDOWS); empty when the system does not say.
    virtual std::string WindowsDirectory() const = 0;
};

// The running system's answers. Systems other than Windows have none of these folders and
// answer every question with the empty text.
const ShellFolders& SystemShellFolders();

}  // namespace korvane::platform
