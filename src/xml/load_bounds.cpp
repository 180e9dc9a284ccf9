#include "xml/load_bounds.h"

#include "platform/code_page.h"
#include "platform/utf8.h"
#include "xml/xml_rules.h"

namespace korvane::xml {

bool AppendWithin(std::string& out, std::string_view piece, std::size_t maxBytes) {
    const std::size_t room = maxBytes > out.size() ? maxBytes - out.size() : 0;
    if (piece.size() <= room) {
        out.append(piece);
        return true;
    }
    out.append(piece.substr(0, platform::WholeUtf8Prefix(piece, room)));
    return false;
}

std::string RefusalText(std::string_view why) {
    return "refused: " + std::string(why);
}

std::string TooManyNamesText() {
    return "more distinct names than a setup file holds (at most " +
           std::to_string(kMaxElementNames) + " element names)";
}

bool TopLevelNodes::Take(Kind kind, std::string_view text) {
    switch (kind) {
        case Kind::Element:
            ++elements_;
            break;
        case Kind::Markup:
            break;
        case Kind::Text:
            stray_ = stray_ || !IsBlankText(text);
            break;
        case Kind::Other:
            stray_ = true;
            break;
    }
    return !stray_;
}

bool IsCreatableElementName(std::string_view name, std::string_view encoding) {
    if (!IsElementName(name)) return false;
    // An ASCII name is written as it is in every encoding a document can declare.
    if (platform::IsAscii(name)) return true;
    const std::string charset = encoding.empty() ? "UTF-8" : std::string(encoding);
    return platform::IsEncodableIn(charset.c_str(), name);
}

}  // namespace korvane::xml
