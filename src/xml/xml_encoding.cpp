#include "xml/xml_encoding.h"

#include <cctype>

#include "platform/code_page.h"

namespace korvane::xml {
namespace {

bool IsUtf8Name(const std::string& encoding) {
    std::string name;
    for (const char c : encoding) {
        if (c != '-' && c != '_')
            name.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    }
    return name == "UTF8";
}

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Where the quoted value of the pseudo-attribute `name` lies in `declaration` (quotes
// excluded); false when it has none.
bool FindPseudoAttribute(std::string_view declaration, std::string_view name, std::size_t& begin,
                         std::size_t& end) {
    for (std::size_t at = declaration.find(name); at != std::string_view::npos;
         at = declaration.find(name, at + 1)) {
        if (at == 0 || !IsSpace(declaration[at - 1])) continue;
        std::size_t cursor = at + name.size();
        while (cursor < declaration.size() && IsSpace(declaration[cursor])) ++cursor;
        if (cursor >= declaration.size() || declaration[cursor] != '=') continue;
        ++cursor;
        while (cursor < declaration.size() && IsSpace(declaration[cursor])) ++cursor;
        if (cursor >= declaration.size() ||
            (declaration[cursor] != '"' && declaration[cursor] != '\''))
            continue;
        const std::size_t close = declaration.find(declaration[cursor], cursor + 1);
        if (close == std::string_view::npos) return false;
        begin = cursor + 1;
        end = close;
        return true;
    }
    return false;
}

// `text` with an XML declaration that names `encoding`.
std::string DeclaringEncoding(std::string_view text, const std::string& encoding) {
    const bool declared = text.size() > 5 && text.substr(0, 5) == "<?xml" && IsSpace(text[5]);
    const std::size_t declarationEnd = declared ? text.find("?>") : std::string_view::npos;
    if (declarationEnd == std::string_view::npos) {
        if (IsUtf8Name(encoding)) return std::string(text);
        return "<?xml version=\"1.0\" encoding=\"" + encoding + "\"?>\n" + std::string(text);
    }
    const std::string_view declaration = text.substr(0, declarationEnd);
    std::size_t begin = 0, end = 0;
    if (FindPseudoAttribute(declaration, "encoding", begin, end)) {
        return std::string(text.substr(0, begin)) + encoding + std::string(text.substr(end));
    }
    if (IsUtf8Name(encoding)) return std::string(text);
    // The encoding follows the version, which every declaration starts with.
    std::size_t insertAt = 5;
    if (FindPseudoAttribute(declaration, "version", begin, end)) insertAt = end + 1;
    return std::string(text.substr(0, insertAt)) + " encoding=\"" + encoding + "\"" +
           std::string(text.substr(insertAt));
}

std::string CharacterReference(char32_t character) {
    return "&#" + std::to_string(static_cast<unsigned long>(character)) + ";";
}

}  // namespace

bool EncodeXmlText(std::string_view text, const std::string& encoding, std::string& bytes) {
    const std::string declared = DeclaringEncoding(text, encoding);
    if (IsUtf8Name(encoding)) {
        bytes = declared;
        return true;
    }
    return platform::ConvertFromUtf8(encoding.c_str(), declared, bytes, CharacterReference);
}

}  // namespace korvane::xml
