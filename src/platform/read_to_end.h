// Reading an open file whole, on every system: the file may grow or shrink between the size
// the system stated and the end of the read, and must stay within a bound all the same.
#pragma once

#include <cerrno>
#include <cstddef>
#include <string>

namespace korvane::platform {

// Reads into `bytes` a file whose stated size is `statedSize` (already at most `maxBytes`)
// until the end, through `read(buffer, room, got)`, which reads at most `room` bytes, sets
// `got` (0 at the end) and returns 0 or an error number. Returns 0, EFBIG for a file that grew
// beyond `maxBytes`, or the error of the read.
template <typename Read>
int ReadToEnd(std::size_t statedSize, std::size_t maxBytes, std::string& bytes, Read&& read) {
    bytes.resize(statedSize);
    std::size_t filled = 0;
    while (true) {
        // One byte of room beyond the stated size shows a file that grew meanwhile.
        if (filled == bytes.size()) {
            if (bytes.size() > maxBytes) return EFBIG;
            bytes.resize(bytes.size() + (bytes.size() < 65536 ? 4096 : bytes.size() / 2));
        }
        std::size_t got = 0;
        if (const int error = read(&bytes[filled], bytes.size() - filled, got)) return error;
        if (got == 0) break;
        filled += got;
    }
    if (filled > maxBytes) return EFBIG;
    bytes.resize(filled);
    return 0;
}

}  // namespace korvane::platform
