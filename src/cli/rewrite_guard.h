// The guard of the subcommands that load a setup file and write it out again (format, stamp):
// a load changes or drops what check reports, and the description written from it would lose
// that for good, so such a file is refused unless the user says --force.
#pragma once

#include <string>

namespace korvane::cli {

// True when a load keeps all of `file`, as check finds it, or when `force` says to go on
// anyway. Otherwise prints check's findings to standard error, then that `rewriting` (as
// "formatting") would lose them, and returns false.
bool LoadKeepsAllOrForced(const std::string& file, bool force, const std::string& rewriting);

}  // namespace korvane::cli
