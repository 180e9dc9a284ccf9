// What the command writes to standard output, and whether it all arrived.
#pragma once

#include <string>

namespace korvane::cli {

// Copies the file at `path` to standard output, byte for byte. On failure returns false and
// sets `reason`.
bool CopyFileToStandardOutput(const std::string& path, std::string& reason);

// Flushes standard output and returns `status`, or, when any write to it failed (a full disk,
// a closed pipe), says so on standard error and returns the failure status: output that was
// lost must not look like success.
int FinishStandardOutput(int status);

}  // namespace korvane::cli
