// UTF-8 as every platform handles it: stepping by whole characters, decoding, and cleaning up
// byte sequences that are not UTF-8. No system call and no locale are involved.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace korvane::platform {

// Whether `c` is an ASCII character, a byte that stands for itself in UTF-8.
constexpr bool IsAscii(char c) {
    return static_cast<unsigned char>(c) < 0x80;
}

// Whether every byte of `text` is an ASCII character.
bool IsAscii(std::string_view text);

// Length of the well-formed UTF-8 sequence at text[0], at most `available`; 1 for a byte that
// starts no well-formed sequence (an overlong form, a surrogate, a value above U+10FFFF, a
// sequence cut short). 0 when `available` is 0.
std::size_t Utf8CharLength(const char* text, std::size_t available);

// The code point of the well-formed sequence of `length` bytes at `text` (see Utf8CharLength).
char32_t DecodeUtf8(const char* text, std::size_t length);

// Length of the longest prefix of `text` that is at most `maxBytes` long and does not end
// inside a well-formed UTF-8 sequence.
std::size_t WholeUtf8Prefix(std::string_view text, std::size_t maxBytes);

// `text` with every byte that does not belong to a well-formed UTF-8 sequence replaced by
// `replacement`.
std::string ReplaceInvalidUtf8(std::string_view text, std::string_view replacement);

}  // namespace korvane::platform
