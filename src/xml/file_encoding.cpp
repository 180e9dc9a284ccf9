#include "xml/file_encoding.h"

#include "xml/xml_declaration.h"

namespace korvane::xml {
namespace {

bool StartsWith(std::string_view bytes, std::string_view prefix) {
    return bytes.substr(0, prefix.size()) == prefix;
}

// The first code units of UTF-16 `bytes` with their high bytes dropped where they are 0, so
// that an ASCII declaration reads as one; enough for any declaration.
std::string NarrowedUtf16(std::string_view bytes, bool bigEndian) {
    std::string narrowed;
    for (std::size_t at = 0; at + 1 < bytes.size() && narrowed.size() < 1024; at += 2) {
        const char high = bytes[at + (bigEndian ? 0 : 1)];
        const char low = bytes[at + (bigEndian ? 1 : 0)];
        narrowed.push_back(high == '\0' ? low : '?');
    }
    return narrowed;
}

// Whether the declared name may stand for the encoding the bytes showed.
bool Agrees(const platform::EncodingName* declared, platform::ByteLayout shown) {
    if (declared == nullptr) return false;
    if (declared->layout == shown) return true;
    // "UTF-16" (and UCS-2) names either byte order.
    const bool utf16 =
        shown == platform::ByteLayout::Utf16Le || shown == platform::ByteLayout::Utf16Be;
    const std::string name = declared->name;
    return utf16 && (name == "UTF16" || name == "UCS2" || name == "ISO10646UCS2");
}

}  // namespace

bool ChooseFileEncoding(std::string_view bytes, FileEncoding& out, std::string& failure) {
    out = FileEncoding();
    const platform::EncodingName* shown = nullptr;
    if (StartsWith(bytes, std::string_view("\xFF\xFE\0\0", 4)) ||
        StartsWith(bytes, std::string_view("\0\0\xFE\xFF", 4)) ||
        StartsWith(bytes, std::string_view("\0\0\0<", 4)) ||
        StartsWith(bytes, std::string_view("<\0\0\0", 4))) {
        failure = "UCS-4, which setup files are not written in";
        return false;
    }
    if (StartsWith(bytes, "\xEF\xBB\xBF")) {
        out.markLength = 3;
        shown = platform::FindEncodingName("UTF-8");
    } else if (StartsWith(bytes, "\xFF\xFE") || StartsWith(bytes, std::string_view("<\0?\0", 4))) {
        out.markLength = bytes[0] == '\xFF' ? 2 : 0;
        shown = platform::FindEncodingName("UTF-16LE");
    } else if (StartsWith(bytes, "\xFE\xFF") || StartsWith(bytes, std::string_view("\0<\0?", 4))) {
        out.markLength = bytes[0] == '\xFE' ? 2 : 0;
        shown = platform::FindEncodingName("UTF-16BE");
    }
    const bool utf16 = shown != nullptr && shown->layout != platform::ByteLayout::Utf8;
    if (utf16 && (bytes.size() - out.markLength) % 2 != 0) {
        failure = "UTF-16 that ends inside a character";
        return false;
    }
    const std::string_view body = bytes.substr(out.markLength);
    const std::string declaration = utf16
                                        ? DeclarationAtStart(NarrowedUtf16(
                                              body, shown->layout == platform::ByteLayout::Utf16Be))
                                        : DeclarationAtStart(body);
    out.declared = PseudoAttributeValue(declaration, "encoding");
    const platform::EncodingName* declared =
        out.declared.empty() ? nullptr : platform::FindEncodingName(out.declared);
    if (shown != nullptr) {
        out.decidedByBytes = true;
        out.known = shown;
        out.contradicted = !out.declared.empty() && !Agrees(declared, shown->layout);
        return true;
    }
    out.known = out.declared.empty() ? platform::FindEncodingName("UTF-8") : declared;
    return true;
}

}  // namespace korvane::xml
