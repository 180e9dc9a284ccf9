#include "xml/document_text.h"

#include <cstdint>

#include "platform/encoded_text.h"

namespace korvane::xml {
namespace {

constexpr std::size_t kMaxDeclarationLength = 1024;

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool StartsWith(std::string_view bytes, std::string_view prefix) {
    return bytes.substr(0, prefix.size()) == prefix;
}

// The XML declaration at the start of `text` as ASCII (other characters as '?'), without its
// closing "?>"; empty when the text has none.
template <typename Text>
std::string DeclarationOf(const Text& text) {
    std::string declaration;
    for (std::size_t at = 0; at < text.size() && at < kMaxDeclarationLength; ++at) {
        const auto unit = static_cast<std::uint32_t>(text[at]) & 0xFFFFu;
        if (unit == '>' && !declaration.empty() && declaration.back() == '?') {
            declaration.pop_back();
            const bool isDeclaration = declaration.size() > 5 &&
                                       declaration.compare(0, 5, "<?xml") == 0 &&
                                       IsSpace(declaration[5]);
            return isDeclaration ? declaration : std::string();
        }
        declaration.push_back(unit < 0x80 ? static_cast<char>(unit) : '?');
    }
    return std::string();
}

// Where the pseudo-attribute `name` of `declaration` lies, from the blank before it to its
// closing quote inclusive, and its value; false when there is none.
bool FindPseudoAttribute(const std::string& declaration, std::string_view name, std::size_t& begin,
                         std::size_t& end, std::string& value) {
    for (std::size_t at = declaration.find(name); at != std::string::npos;
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
        if (close == std::string::npos) return false;
        begin = at - 1;
        end = close + 1;
        value = declaration.substr(cursor + 1, close - cursor - 1);
        return true;
    }
    return false;
}

// Takes the encoding pseudo-attribute out of the text's declaration, remembering its value.
void StripDeclaredEncoding(DocumentText& document) {
    const std::string declaration = DeclarationOf(document.text);
    std::size_t begin = 0, end = 0;
    if (declaration.empty() ||
        !FindPseudoAttribute(declaration, "encoding", begin, end, document.encoding))
        return;
    document.text.erase(begin, end - begin);
}

}  // namespace

bool DecodeDocumentBytes(std::string_view bytes, DocumentText& out, std::string& failure) {
    out = DocumentText();
    std::string_view body = bytes;
    const char* encoding = nullptr;
    if (StartsWith(bytes, "\xEF\xBB\xBF")) {
        body.remove_prefix(3);
        encoding = "UTF-8";
    } else if (StartsWith(bytes, std::string_view("\xFF\xFE\0\0", 4)) ||
               StartsWith(bytes, std::string_view("\0\0\xFE\xFF", 4)) ||
               StartsWith(bytes, std::string_view("\0\0\0<", 4)) ||
               StartsWith(bytes, std::string_view("<\0\0\0", 4))) {
        failure = "UCS-4, which setup files are not written in";
        return false;
    } else if (StartsWith(bytes, "\xFF\xFE") || StartsWith(bytes, "\xFE\xFF")) {
        encoding = bytes[0] == '\xFF' ? "UTF-16LE" : "UTF-16BE";
        body.remove_prefix(2);
    } else if (StartsWith(bytes, std::string_view("<\0?\0", 4))) {
        encoding = "UTF-16LE";
    } else if (StartsWith(bytes, std::string_view("\0<\0?", 4))) {
        encoding = "UTF-16BE";
    }
    std::string declared;
    if (encoding == nullptr) {
        std::size_t begin = 0, end = 0;
        const std::string declaration = DeclarationOf(bytes);
        if (declaration.empty() ||
            !FindPseudoAttribute(declaration, "encoding", begin, end, declared))
            declared = "UTF-8";
        if (!platform::IsKnownEncoding(declared)) {
            failure = "the encoding " + declared + ", which this system cannot read";
            return false;
        }
        encoding = declared.c_str();
    }
    if (!platform::DecodeToUtf16(encoding, body, out.text)) {
        failure = std::string("bytes that are not valid ") + encoding;
        return false;
    }
    StripDeclaredEncoding(out);
    return true;
}

bool DecodeDocumentText(std::string_view text, DocumentText& out, std::string& failure) {
    out = DocumentText();
    if (StartsWith(text, "\xEF\xBB\xBF")) text.remove_prefix(3);
    if (!platform::Utf8ToUtf16(text, out.text)) {
        failure = "text that is not valid UTF-8";
        return false;
    }
    StripDeclaredEncoding(out);
    // Text has no encoding of its own.
    out.encoding.clear();
    return true;
}

}  // namespace korvane::xml
