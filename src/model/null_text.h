// Texts the exports take from callers.
#pragma once

#include <string_view>

namespace korvane::model {

// A null text counts as the empty text everywhere in the library.
inline std::string_view TextOrEmpty(const char* text) {
    return text != nullptr ? std::string_view(text) : std::string_view();
}

}  // namespace korvane::model
