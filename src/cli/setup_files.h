// Loading and saving setup files for the command, with reasons in words when they fail.
#pragma once

#include <string>

#include "model/setup_document.h"

namespace korvane::cli {

// Loads `path` into `setup`. On failure returns false, leaves `setup` as it was and sets
// `reason` to why, in words: "FILE: cannot read: No such file or directory",
// "FILE:3:5: not well-formed XML: ...".
bool LoadSetupFileExplained(const std::string& path, model::SetupDocument& setup,
                            std::string& reason);

// Saves `setup` to `path`, from a private working directory
// that holds the project's indent.xsl, so that the user's current directory is never used.
// On failure returns false and sets `reason`.
bool SaveSetupFileExplained(const model::SetupDocument& setup, const std::string& path,
                            std::string& reason);

// Saves `setup` the same way to a private temporary file and copies that to standard output.
// On failure returns false and sets `reason`.
bool SaveSetupFileToStandardOutput(const model::SetupDocument& setup, std::string& reason);

}  // namespace korvane::cli
