#include "xml/document_text.h"

#include <cstdint>

#include "platform/encoded_text.h"
#include "xml/xml_declaration.h"

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

// Takes the encoding pseudo-attribute out of the text's declaration, remembering its value.
void StripDeclaredEncoding(DocumentText& document) {
    const std::string declaration = DeclarationOf(document.text);
    const auto encoding =
        declaration.empty() ? std::nullopt : FindPseudoAttribute(declaration, "encoding");
    if (!encoding) return;
    document.encoding =
        declaration.substr(encoding->valueBegin, encoding->valueEnd - encoding->valueBegin);
    // From the blank before its name to its closing quote.
    document.text.erase(encoding->name - 1, encoding->valueEnd + 1 - (encoding->name - 1));
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
        const std::string declaration = DeclarationOf(bytes);
        declared = PseudoAttributeValue(declaration, "encoding");
        if (declared.empty()) declared = "UTF-8";
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
