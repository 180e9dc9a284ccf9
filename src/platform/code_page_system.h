// What each operating system answers about its code pages; implemented once per platform.
#pragma once

namespace korvane::platform {

// The system code page as a Windows code-page number; 0 when the system's code set has no
// number this library knows (it is then treated as a single-byte code page).
unsigned SystemCodePage();

// True when `byte` is the lead byte of a two-byte character in `codePage`.
bool IsLeadByte(unsigned codePage, unsigned char byte);

}  // namespace korvane::platform
