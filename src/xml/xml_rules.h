// What XML can carry: element names and text; and which text is layout rather than value.
#pragma once

#include <string_view>

namespace korvane::xml {

// Whether `c` is XML white space: space, tab, CR or LF.
constexpr bool IsXmlSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// True when `name` (UTF-8) is an XML 1.0 name without a colon (an NCName): a name that any
// namespace-aware reader loads back as the same element. The empty name is not one.
bool IsElementName(std::string_view utf8Name);

// True when `text` is well-formed UTF-8 made only of characters that XML 1.0 documents may
// hold.
bool IsXmlText(std::string_view text);

// True when `text` holds nothing but XML white space, or nothing at all.
bool IsBlankText(std::string_view text);

// Layout, one rule for every DOM backend: a text node of nothing but white space is layout
// (indentation between elements, no part of any value) when its parent has an element child.
// Every other text node, blank or not, is part of its element's value, so that a value's
// blanks survive beside a CR, a comment or a CDATA section. `parentHasElementChild` is asked
// only for a blank text, since answering it can mean a walk over the siblings.
template <typename ParentHasElementChild>
bool IsLayoutText(std::string_view text, ParentHasElementChild&& parentHasElementChild) {
    return IsBlankText(text) && parentHasElementChild();
}

}  // namespace korvane::xml
