// What each operating system answers about its code pages; implemented once per platform.
#pragma once

#include <cstddef>

namespace korvane::platform {

// The system code page as a Windows code-page number; 0 when the system's code set has no
// number this library knows (CharLengthInUnnumbered then steps through its characters).
unsigned SystemCodePage();

// Number of bytes of the character that starts at text[0] (a byte of 0x80 or above), at most
// `available`, in the code set that has no code-page number (the system's, or the one selected
// by name for tests). 1 for a single-byte code set, and for a byte that starts no character.
std::size_t CharLengthInUnnumbered(const unsigned char* text, std::size_t available);

// True when `byte` is the lead byte of a two-byte character in `codePage`.
bool IsLeadByte(unsigned codePage, unsigned char byte);

}  // namespace korvane::platform
