// Decimal texts of the setup description.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace korvane::model {

// Reads an integer the way C's atoi does: leading white space skipped, an optional sign, then
// decimal digits up to the first other character; no digits read as 0. Unlike atoi, a value
// outside the 32-bit range is clamped to it instead of being undefined.
std::int32_t ParseDecimal(std::string_view text);

// The "%d" form of `value`.
std::string FormatDecimal(std::int32_t value);

}  // namespace korvane::model
