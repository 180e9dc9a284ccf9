#include "xml/xml_encoding.h"

#include <cctype>

#include "platform/code_page.h"
#include "xml/xml_declaration.h"

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

// The declaration naming `encoding` that the file starts with, and in `rest` the text that
// follows it: the text's own declaration with its encoding named or replaced, or a new one.
std::string DeclarationFor(std::string_view text, const std::string& encoding,
                           std::string_view& rest) {
    rest = text;
    const bool declared = text.size() > 5 && text.substr(0, 5) == "<?xml" && IsSpace(text[5]);
    const std::size_t declarationEnd = declared ? text.find("?>") : std::string_view::npos;
    if (declarationEnd == std::string_view::npos) {
        if (IsUtf8Name(encoding)) return std::string();
        return "<?xml version=\"1.0\" encoding=\"" + encoding + "\"?>\n";
    }
    const std::string_view declaration = text.substr(0, declarationEnd);
    rest = text.substr(declarationEnd);
    if (const auto declared = FindPseudoAttribute(declaration, "encoding")) {
        return std::string(declaration.substr(0, declared->valueBegin)) + encoding +
               std::string(declaration.substr(declared->valueEnd));
    }
    if (IsUtf8Name(encoding)) return std::string(declaration);
    // The encoding follows the version, which every declaration starts with.
    std::size_t insertAt = 5;
    if (const auto version = FindPseudoAttribute(declaration, "version"))
        insertAt = version->valueEnd + 1;
    return std::string(declaration.substr(0, insertAt)) + " encoding=\"" + encoding + "\"" +
           std::string(declaration.substr(insertAt));
}

bool IsAscii(char c) {
    return static_cast<unsigned char>(c) < 0x80;
}

std::string CharacterReference(char32_t character) {
    return "&#" + std::to_string(static_cast<unsigned long>(character)) + ";";
}

// Whether `encoding` writes every ASCII character XML markup uses as that same byte, so that
// runs of ASCII can be copied as they are.
bool KeepsAscii(const std::string& encoding) {
    std::string probe = "\t\n\r";
    for (char c = 0x20; c < 0x7F; ++c) probe.push_back(c);
    std::string converted;
    return platform::ConvertFromUtf8(encoding.c_str(), probe, converted, CharacterReference) &&
           converted == probe;
}

}  // namespace

bool EncodeXmlText(std::string_view text, const std::string& encoding, std::string& bytes) {
    std::string_view rest;
    bytes = DeclarationFor(text, encoding, rest);
    if (IsUtf8Name(encoding)) {
        bytes.append(rest);
        return true;
    }
    std::string converted;
    if (!KeepsAscii(encoding)) {
        if (!platform::ConvertFromUtf8(encoding.c_str(), bytes.append(rest), converted,
                                       CharacterReference))
            return false;
        bytes.swap(converted);
        return true;
    }
    // Most of a setup file is ASCII markup: only the runs of other characters are converted.
    bytes.reserve(bytes.size() + rest.size());
    while (!rest.empty()) {
        std::size_t run = 0;
        while (run < rest.size() && IsAscii(rest[run])) ++run;
        bytes.append(rest.substr(0, run));
        rest.remove_prefix(run);
        run = 0;
        while (run < rest.size() && !IsAscii(rest[run])) ++run;
        if (run == 0) break;
        if (!platform::ConvertFromUtf8(encoding.c_str(), rest.substr(0, run), converted,
                                       CharacterReference))
            return false;
        bytes.append(converted);
        rest.remove_prefix(run);
    }
    return true;
}

std::size_t TextLengthInFile(std::string_view text, const std::string& encoding) {
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        switch (c) {
            case '&':
                escaped += "&amp;";
                break;
            case '<':
                escaped += "&lt;";
                break;
            case '>':
                escaped += "&gt;";
                break;
            case '\r':
                escaped += "&#13;";
                break;
            default:
                escaped.push_back(c);
        }
    }
    if (IsUtf8Name(encoding)) return escaped.size();
    std::string converted;
    if (!platform::ConvertFromUtf8(encoding.c_str(), escaped, converted, CharacterReference))
        return escaped.size();
    return platform::Utf8LengthOf(encoding.c_str(), converted);
}

}  // namespace korvane::xml
