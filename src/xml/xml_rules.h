// What XML can carry: element names and text.
#pragma once

#include <string_view>

namespace korvane::xml {

// True when `name` (UTF-8) is an XML 1.0 name without a colon (an NCName): a name that any
// namespace-aware reader loads back as the same element. The empty name is not one.
bool IsElementName(std::string_view utf8Name);

// True when `text` is well-formed UTF-8 made only of characters that XML 1.0 documents may
// hold.
bool IsXmlText(std::string_view text);

}  // namespace korvane::xml
