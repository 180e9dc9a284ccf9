// The pseudo-attributes of an XML declaration (version, encoding): found once here for the
// encoder and both DOM backends.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace korvane::xml {

// Where a pseudo-attribute lies in the text of a declaration or in the data of an "xml"
// instruction: its name starts at `name`; its value runs from `valueBegin` to the closing quote
// at `valueEnd`.
struct PseudoAttributeSpan {
    std::size_t name;
    std::size_t valueBegin;
    std::size_t valueEnd;
};

// The pseudo-attribute `name` of `declaration`: a whole word (at the start or after a blank),
// then '=' and a quoted value, blanks allowed around the '='. Nothing when there is none.
std::optional<PseudoAttributeSpan> FindPseudoAttribute(std::string_view declaration,
                                                       std::string_view name);

// The value of the pseudo-attribute `name`, or empty when there is none.
std::string PseudoAttributeValue(std::string_view declaration, std::string_view name);

}  // namespace korvane::xml
