// The rule for names that can be element names of a setup file.
#pragma once

#include <string_view>

namespace korvane::xml {

// True when `name` (UTF-16) is an XML 1.0 name without a colon (an NCName): a name that any
// namespace-aware reader loads back as the same element. The empty name is not one.
bool IsElementName(std::u16string_view name);

}  // namespace korvane::xml
