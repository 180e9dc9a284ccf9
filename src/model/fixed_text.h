// Copying texts into and out of the fixed-width fields of the records.
#pragma once

#include <cstddef>
#include <cstring>
#include <string_view>

#include "platform/code_page.h"

namespace korvane::model {

// A null text counts as the empty text everywhere in the library.
inline std::string_view TextOrEmpty(const char* text) {
    return text != nullptr ? std::string_view(text) : std::string_view();
}

// Copies `text` into `field` (whose size includes the terminator), cut at the last whole
// character that fits when it is too long, so nothing is ever written past the field.
inline void CopyToField(char* field, std::size_t fieldSize, std::string_view text) {
    const std::size_t length = platform::WholeCharPrefix(text, fieldSize - 1);
    if (length > 0) std::memcpy(field, text.data(), length);
    std::memset(field + length, 0, fieldSize - length);
}

template <std::size_t N>
void CopyToField(char (&field)[N], std::string_view text) {
    CopyToField(field, N, text);
}

}  // namespace korvane::model
