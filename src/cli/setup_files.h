// Loading and saving setup files for the command, with reasons in words when they fail.
#pragma once

#include <string>

namespace korvane::cli {

// Loads `path` into the library's description (LoadSetupFile). On failure returns false and
// sets `reason` to why, in words: "FILE: cannot read: No such file or directory",
// "FILE:3:5: not well-formed XML: ...".
bool LoadSetupFileExplained(const std::string& path, std::string& reason);

// Saves the library's description to `path` (SaveSetupFile), from a private working directory
// that holds the project's indent.xsl, so that the user's current directory is never used.
// On failure returns false and sets `reason`.
bool SaveSetupFileExplained(const std::string& path, std::string& reason);

// Saves the library's description the same way to a private temporary file and copies that
// to standard output. On failure returns false and sets `reason`.
bool SaveSetupFileToStandardOutput(std::string& reason);

}  // namespace korvane::cli
