// Loading and saving setup files for the command, with reasons in words when they fail.
#pragma once

#include <string>

#include "model/setup_document.h"

namespace korvane::cli {

// Loads `path` into `document`. On failure returns false and sets `reason` to why, in words:
// "FILE: cannot read: No such file or directory", "FILE:3:5: not well-formed XML: ...".
bool LoadSetupFileExplained(const std::string& path, model::SetupDocument& document,
                            std::string& reason);

// Saves `document` to `path` from a private working directory that holds the project's
// indent.xsl, so that the user's current directory is never used. On failure returns false and
// sets `reason` to the step that failed and why.
bool SaveSetupFileExplained(const model::SetupDocument& document, const std::string& path,
                            std::string& reason);

// Saves `document` the same way to a private temporary file and copies that to standard
// output. On failure returns false and sets `reason`.
bool SaveSetupFileToStandardOutput(const model::SetupDocument& document, std::string& reason);

// Saves `document` to `output` as SaveSetupFileExplained does, or to standard output when
// `output` is "-".
bool SaveSetupFileTo(const model::SetupDocument& document, const std::string& output,
                     std::string& reason);

}  // namespace korvane::cli
