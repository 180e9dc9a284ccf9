// A folder of the process's own, made its current folder while it exists, chosen at link time:
// private_folder_posix.cpp and private_folder_windows.cpp define it. The command saves from
// there, because a save reads indent.xsl from, and writes its scratch files to, the current
// folder, and the user's own current folder must not be used for either.
#pragma once

#include <memory>
#include <string>

namespace korvane::platform {

class PrivateCurrentFolder {
  public:
    // Creates a new folder in the system's temporary folder and enters it; failure() says why
    // when it could not.
    PrivateCurrentFolder();
    // Goes back to the folder that was current before, and removes this one with what it holds.
    ~PrivateCurrentFolder();
    PrivateCurrentFolder(const PrivateCurrentFolder&) = delete;
    PrivateCurrentFolder& operator=(const PrivateCurrentFolder&) = delete;

    // Empty when the process works in the folder; otherwise why it does not.
    const std::string& failure() const { return failure_; }

  private:
    struct State;  // what each system keeps to go back, defined in its private_folder_*.cpp
    std::unique_ptr<State> state_;
    std::string failure_;
};

}  // namespace korvane::platform
