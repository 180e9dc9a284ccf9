#include "platform/utf8.h"

#include <cstdint>
#include <cstring>

namespace korvane::platform {

bool IsAscii(std::string_view text) {
    // Eight bytes at a time: a whole file is checked before it is parsed.
    std::size_t at = 0;
    for (; at + 8 <= text.size(); at += 8) {
        std::uint64_t word;
        std::memcpy(&word, text.data() + at, sizeof word);
        if ((word & 0x8080808080808080u) != 0) return false;
    }
    for (; at < text.size(); ++at) {
        if (!IsAscii(text[at])) return false;
    }
    return true;
}

std::size_t Utf8CharLength(const char* text, std::size_t available) {
    if (available == 0) return 0;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    const unsigned char lead = bytes[0];
    std::size_t length = 1;
    unsigned char low = 0x80, high = 0xBF;  // allowed range of the second byte
    if (lead < 0x80) {
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;   // no overlong forms
        if (lead == 0xED) high = 0x9F;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;  // nothing above U+10FFFF
    } else {
        return 1;
    }
    if (available < length) return 1;
    if (bytes[1] < low || bytes[1] > high) return 1;
    for (std::size_t i = 2; i < length; ++i) {
        if (bytes[i] < 0x80 || bytes[i] > 0xBF) return 1;
    }
    return length;
}

char32_t DecodeUtf8(const char* text, std::size_t length) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    static constexpr unsigned char kLeadMasks[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    char32_t code = bytes[0] & kLeadMasks[length < 5 ? length : 1];
    for (std::size_t i = 1; i < length; ++i) code = (code << 6) | (bytes[i] & 0x3F);
    return code;
}

std::size_t WholeUtf8Prefix(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) return text.size();
    std::size_t end = 0;
    while (end < maxBytes) {
        const std::size_t length = Utf8CharLength(text.data() + end, text.size() - end);
        if (end + length > maxBytes) break;
        end += length;
    }
    return end;
}

std::string ReplaceInvalidUtf8(std::string_view text, std::string_view replacement) {
    // Most texts are ASCII, which is already well-formed UTF-8.
    std::size_t ascii = 0;
    while (ascii < text.size() && IsAscii(text[ascii])) ++ascii;
    std::string out(text.substr(0, ascii));
    if (ascii == text.size()) return out;
    out.reserve(text.size());
    for (std::size_t at = ascii; at < text.size();) {
        const std::size_t length = Utf8CharLength(text.data() + at, text.size() - at);
        if (length == 1 && static_cast<unsigned char>(text[at]) >= 0x80) {
            out.append(replacement);
        } else {
            out.append(text.data() + at, length);
        }
        at += length;
    }
    return out;
}

}  // namespace korvane::platform
