#include "xml/xml_encoding.h"

#include <cctype>
#include <unordered_map>

#include "platform/code_page.h"
#include "platform/utf8.h"
#include "xml/xml_declaration.h"
#include "xml/xml_rules.h"

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

// The declaration naming `encoding` that the file starts with, and in `rest` the text that
// follows it: the text's own declaration with its encoding named or replaced, or a new one.
std::string DeclarationFor(std::string_view text, const std::string& encoding,
                           std::string_view& rest) {
    rest = text;
    const bool declared = text.size() > 5 && text.substr(0, 5) == "<?xml" && IsXmlSpace(text[5]);
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

// Appends `text` in `encoding`, which writes ASCII as it is: only the runs of other characters
// are converted, since most of a setup file is ASCII markup.
bool AppendKeepingAscii(std::string_view text, const std::string& encoding, std::string& bytes) {
    std::string converted;
    bytes.reserve(bytes.size() + text.size());
    while (!text.empty()) {
        std::size_t run = 0;
        while (run < text.size() && platform::IsAscii(text[run])) ++run;
        bytes.append(text.substr(0, run));
        text.remove_prefix(run);
        run = 0;
        while (run < text.size() && !platform::IsAscii(text[run])) ++run;
        if (run == 0) break;
        if (!platform::ConvertFromUtf8(encoding.c_str(), text.substr(0, run), converted,
                                       CharacterReference))
            return false;
        bytes.append(converted);
        text.remove_prefix(run);
    }
    return true;
}

}  // namespace

bool EncodeXmlText(std::string_view text, const std::string& encoding, std::string& bytes) {
    std::string_view rest;
    bytes = DeclarationFor(text, encoding, rest);
    if (IsUtf8Name(encoding)) {
        bytes.append(rest);
        return true;
    }
    if (KeepsAscii(encoding)) return AppendKeepingAscii(rest, encoding, bytes);
    std::string converted;
    if (!platform::ConvertFromUtf8(encoding.c_str(), bytes.append(rest), converted,
                                   CharacterReference))
        return false;
    bytes.swap(converted);
    return true;
}

bool AppendEncodedXmlPiece(std::string_view text, const std::string& encoding, std::string& bytes) {
    if (IsUtf8Name(encoding)) {
        bytes.append(text);
        return true;
    }
    return KeepsAscii(encoding) && AppendKeepingAscii(text, encoding, bytes);
}

std::size_t TextLengthInFile(std::string_view text, const std::string& encoding) {
    const bool utf8 = IsUtf8Name(encoding);
    // Whether the encoding writes a character as it is; asked once a character, since asking
    // iconv about a character it lacks costs far more than about one it has.
    std::unordered_map<char32_t, bool> writable;
    std::size_t length = 0;
    for (std::size_t at = 0; at < text.size();) {
        const char c = text[at];
        if (platform::IsAscii(c)) {
            length += c == '&' || c == '\r' ? 5 : c == '<' || c == '>' ? 4 : 1;
            ++at;
            continue;
        }
        const std::size_t size = platform::Utf8CharLength(text.data() + at, text.size() - at);
        const char32_t character = platform::DecodeUtf8(text.data() + at, size);
        auto known = writable.find(character);
        if (known == writable.end()) {
            const bool raw =
                utf8 || platform::IsEncodableIn(encoding.c_str(), text.substr(at, size));
            known = writable.emplace(character, raw).first;
        }
        length += known->second ? size : CharacterReference(character).size();
        at += size;
    }
    return length;
}

}  // namespace korvane::xml
