// The size of a table as the interface reports it: a signed 32-bit count.
#pragma once

#include <cstddef>
#include <cstdint>

namespace korvane::model {

inline std::int32_t CountOf(std::size_t size) {
    return static_cast<std::int32_t>(size);
}

}  // namespace korvane::model
