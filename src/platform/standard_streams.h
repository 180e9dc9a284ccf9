// How the command's standard output and error reach the user, chosen at link time:
// standard_streams_posix.cpp and standard_streams_windows.cpp define it.
//
// On POSIX systems the bytes are written as they are. On Windows a console is written through
// WriteConsoleW, the text converted to UTF-16 from the encoding it is in, so that every
// character shows whatever the console's code page; a pipe or file gets the bytes as they are,
// in binary mode (no CR added before LF).
#pragma once

#include <ostream>

namespace korvane::platform {

// Sets up the streams that the command gives as its standard output and error (the streams of
// the process's standard handles); called once, before any output. Afterwards both hold text of
// the active code page, in which every text of the model is held, until
// SetStandardOutputCodePage says otherwise.
void PrepareStandardStreams(std::ostream& output, std::ostream& error);

// Says in which code page (as code_page.h numbers them) the text that is next written to `output`
// (prepared above) is: kCodePageUtf8 for the JSON forms, 0 for the active code page again.
// Pending output is flushed first.
void SetStandardOutputCodePage(std::ostream& output, unsigned codePage);

}  // namespace korvane::platform
