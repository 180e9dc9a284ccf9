#include "xml/xml_rules.h"

#include "platform/utf8.h"

namespace korvane::xml {
namespace {

struct Range {
    char32_t first, last;
};

// NameStartChar of XML 1.0 (fifth edition), without ':'.
constexpr Range kStartRanges[] = {
    {'A', 'Z'},       {'_', '_'},       {'a', 'z'},       {0xC0, 0xD6},     {0xD8, 0xF6},
    {0xF8, 0x2FF},    {0x370, 0x37D},   {0x37F, 0x1FFF},  {0x200C, 0x200D}, {0x2070, 0x218F},
    {0x2C00, 0x2FEF}, {0x3001, 0xD7FF}, {0xF900, 0xFDCF}, {0xFDF0, 0xFFFD}, {0x10000, 0xEFFFF},
};

// What NameChar adds to NameStartChar.
constexpr Range kFollowingRanges[] = {
    {'-', '-'}, {'.', '.'}, {'0', '9'}, {0xB7, 0xB7}, {0x300, 0x36F}, {0x203F, 0x2040},
};

template <std::size_t N>
bool InRanges(char32_t c, const Range (&ranges)[N]) {
    for (const Range& range : ranges) {
        if (c >= range.first && c <= range.last) return true;
    }
    return false;
}

// Decodes the UTF-8 character at the start of `text` into `c`; returns its length, or 0 when
// the bytes are not well-formed UTF-8.
std::size_t CharacterAt(std::string_view text, char32_t& c) {
    const std::size_t length = platform::Utf8CharLength(text.data(), text.size());
    if (length == 1 && !platform::IsAscii(text[0])) return 0;
    c = platform::DecodeUtf8(text.data(), length);
    return length;
}

// The ASCII characters of names: letters and '_' may start one, digits, '-' and '.' follow.
bool IsAsciiNameCharacter(unsigned char c, bool first) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_') return true;
    return !first && ((c >= '0' && c <= '9') || c == '-' || c == '.');
}

}  // namespace

bool IsElementName(std::string_view utf8Name) {
    if (utf8Name.empty()) return false;
    bool first = true;
    for (std::size_t at = 0; at < utf8Name.size();) {
        const auto byte = static_cast<unsigned char>(utf8Name[at]);
        if (platform::IsAscii(utf8Name[at])) {  // the common case, without decoding
            if (!IsAsciiNameCharacter(byte, first)) return false;
            first = false;
            ++at;
            continue;
        }
        char32_t c = 0;
        const std::size_t length = CharacterAt(utf8Name.substr(at), c);
        if (length == 0) return false;
        const bool allowed = InRanges(c, kStartRanges) || (!first && InRanges(c, kFollowingRanges));
        if (!allowed) return false;
        first = false;
        at += length;
    }
    return true;
}

bool IsXmlText(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        const auto byte = static_cast<unsigned char>(text[at]);
        if (byte >= 0x20 && byte < 0x80) {  // the common case: printable ASCII
            ++at;
            continue;
        }
        char32_t c = 0;
        const std::size_t length = CharacterAt(text.substr(at), c);
        if (length == 0) return false;
        const bool allowed = c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
                             (c >= 0xE000 && c <= 0xFFFD) || c >= 0x10000;
        if (!allowed) return false;
        at += length;
    }
    return true;
}

bool IsBlankText(std::string_view text) {
    for (const char c : text) {
        if (!IsXmlSpace(c)) return false;
    }
    return true;
}

}  // namespace korvane::xml
