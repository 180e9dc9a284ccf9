// Whether the program's arguments reach it whole, chosen at link time: command_line_posix.cpp and
// command_line_windows.cpp define it.
#pragma once

namespace korvane::platform {

// The position (from 1) of the first argument of the command line that the arguments main()
// receives hold other than as given; 0 when every one arrived whole. On Windows the C runtime
// hands them over in the ANSI code page, the form in which the library takes texts and file
// names, and a character that code page lacks arrives as '?' (or a look-alike). Elsewhere the
// bytes arrive as they are.
int FirstArgumentNotWhole();

}  // namespace korvane::platform
