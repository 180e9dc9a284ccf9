// Shell folders on POSIX systems: there is no Windows shell, system folder or Windows folder.
#include "platform/shell_folders.h"

namespace korvane::platform {
namespace {

class NoWindowsFolders final : public ShellFolders {
  public:
    std::string FolderPath(int) const override { return {}; }
    std::string SystemDirectory() const override { return {}; }
    std::string WindowsDirectory() const override { return {}; }
};

}  // namespace

const ShellFolders& SystemShellFolders() {
    static const NoWindowsFolders folders;
    return folders;
}

}  // namespace korvane::platform
