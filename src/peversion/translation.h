// One entry of a version resource's translation table: which language and code page a set of
// version strings is written in.
#pragma once

#include <cstdint>

namespace korvane::peversion {

struct Translation {
    std::uint16_t language;  // Windows language identifier, 0x0409 for U.S. English
    std::uint16_t codePage;  // code page of the strings, 1200 for UTF-16
};

}  // namespace korvane::peversion
