// Where the running program's file is, and paths built from it, chosen at link time:
// program_path_posix.cpp and program_path_windows.cpp define them.
#pragma once

#include <string>
#include <string_view>

namespace korvane::platform {

// The folder that holds the running program's file (links resolved), without a trailing
// separator; empty when the system does not say.
std::string ProgramFolder();

// The folder that holds `path`; empty when `path` has no separator.
std::string ParentFolder(std::string_view path);

// `folder`, the system's separator and `relative`, whose parts are separated by '/'.
std::string JoinPath(std::string_view folder, std::string_view relative);

}  // namespace korvane::platform
