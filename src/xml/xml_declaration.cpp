#include "xml/xml_declaration.h"

#include "xml/xml_rules.h"

namespace korvane::xml {

std::optional<PseudoAttributeSpan> FindPseudoAttribute(std::string_view declaration,
                                                       std::string_view name) {
    for (std::size_t at = declaration.find(name); at != std::string_view::npos;
         at = declaration.find(name, at + 1)) {
        if (at > 0 && !IsXmlSpace(declaration[at - 1])) continue;
        std::size_t cursor = at + name.size();
        while (cursor < declaration.size() && IsXmlSpace(declaration[cursor])) ++cursor;
        if (cursor >= declaration.size() || declaration[cursor] != '=') continue;
        ++cursor;
        while (cursor < declaration.size() && IsXmlSpace(declaration[cursor])) ++cursor;
        if (cursor >= declaration.size() ||
            (declaration[cursor] != '"' && declaration[cursor] != '\''))
            continue;
        const std::size_t close = declaration.find(declaration[cursor], cursor + 1);
        if (close == std::string_view::npos) return std::nullopt;
        return PseudoAttributeSpan{at, cursor + 1, close};
    }
    return std::nullopt;
}

std::string PseudoAttributeValue(std::string_view declaration, std::string_view name) {
    const std::optional<PseudoAttributeSpan> span = FindPseudoAttribute(declaration, name);
    if (!span) return std::string();
    return std::string(declaration.substr(span->valueBegin, span->valueEnd - span->valueBegin));
}

}  // namespace korvane::xml
