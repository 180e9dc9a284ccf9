// What the command writes to standard output, and whether it all arrived.
#pragma once

#include <string>

namespace korvane::cli {

// Sets up standard output and error, before anything is written to them: on Windows a console
// shows every character, and a pipe or file gets the bytes unchanged (platform/standard_streams.h).
void PrepareStandardOutput();

// Writes the UTF-8 `text` (a JSON form) to standard output: the same bytes on every system, and
// the same characters on a console.
void PrintUtf8(const std::string& text);

// Copies the saved setup file at `path` to standard output, byte for byte. On failure returns
// false and sets `reason`.
bool CopyFileToStandardOutput(const std::string& path, std::string& reason);

// Flushes standard output and returns `status`, or, when any write to it failed (a full disk,
// a closed pipe), says so on standard error and returns the failure status: output that was
// lost must not look like success.
int FinishStandardOutput(int status);

}  // namespace korvane::cli
