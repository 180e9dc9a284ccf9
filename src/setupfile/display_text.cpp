#include "setupfile/display_text.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <optional>

#include "platform/code_page.h"
#include "platform/utf8.h"

namespace korvane::setupfile {
namespace {

// Characters that show nothing themselves but act on the terminal or change how the text
// around them is shown: each would let a text pass for another.
bool IsHiddenCodePoint(char32_t codePoint) {
    return (codePoint >= 0x80 && codePoint <= 0x9F) ||      // C1 controls
           codePoint == 0x061C ||                           // Arabic letter mark
           codePoint == 0x180E ||                           // Mongolian vowel separator
           (codePoint >= 0x200B && codePoint <= 0x200F) ||  // zero-width spaces, joiners, marks
           (codePoint >= 0x2028 && codePoint <= 0x202E) ||  // line breaks, embeddings, overrides
           (codePoint >= 0x2060 && codePoint <= 0x206F) ||  // word joiner, invisible operators,
                                                            // isolates, deprecated format marks
           codePoint == 0xFEFF ||                           // zero-width no-break space
           (codePoint >= 0xFFF9 && codePoint <= 0xFFFB) ||  // interlinear annotation marks
           (codePoint >= 0xE0000 && codePoint <= 0xE007F);  // tags: invisible copies of ASCII
}

// True when the one-byte character `byte` of the active code page is a C1 control there, or
// no character at all. Only the bytes 80 to 9F are asked about: the ISO-8859 code pages decode
// them to U+0080 to U+009F, which a terminal acts on (9B begins a control sequence, as ESC [
// does), while code page 1252 holds printable characters there. The few bytes that 1252 leaves
// undefined read as the C1 controls of the same numbers under Windows and as nothing under
// iconv: escaped under both.
bool IsControlByte(unsigned char byte) {
    if (byte < 0x80 || byte > 0x9F) return false;
    const char character = static_cast<char>(byte);
    std::string decoded;
    if (!platform::ToUtf8(std::string_view(&character, 1), decoded) || decoded.empty()) return true;
    if (platform::Utf8CharLength(decoded.data(), decoded.size()) != decoded.size()) return false;
    const char32_t codePoint = platform::DecodeUtf8(decoded.data(), decoded.size());
    return codePoint >= 0x80 && codePoint <= 0x9F;
}

// The escape for one whole character, or nothing when it prints as itself.
std::optional<std::string> EscapeOf(std::string_view character, bool utf8) {
    char escape[16];
    const auto first = static_cast<unsigned char>(character[0]);
    if (character.size() == 1 && (first < 0x20 || first == 0x7F || IsControlByte(first))) {
        std::snprintf(escape, sizeof escape, "\\x%02X", first);
        return escape;
    }
    if (utf8 && character.size() > 1) {
        const char32_t codePoint = platform::DecodeUtf8(character.data(), character.size());
        if (IsHiddenCodePoint(codePoint)) {
            std::snprintf(escape, sizeof escape, "\\u{%04X}", static_cast<unsigned>(codePoint));
            return escape;
        }
    }
    return std::nullopt;
}

// Calls `visit(character, escape)` for each whole character of `text`.
template <typename Visit>
void ForEachCharacter(std::string_view text, Visit visit) {
    const bool utf8 = platform::ActiveCodePage() == platform::kCodePageUtf8;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = platform::CharLength(text.data() + at, text.size() - at);
        const std::string_view character = text.substr(at, length);
        visit(character, EscapeOf(character, utf8));
        at += length;
    }
}

}  // namespace

std::string DisplayForm(std::string_view text) {
    std::string shown;
    shown.reserve(text.size());
    ForEachCharacter(text,
                     [&](std::string_view character, const std::optional<std::string>& escape) {
                         if (escape) {
                             shown += *escape;
                         } else {
                             shown += character;
                         }
                     });
    return shown;
}

std::string LocalFormOfUtf8(std::string_view text) {
    std::string shown;
    std::string local;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = platform::Utf8CharLength(text.data() + at, text.size() - at);
        const std::string_view character = text.substr(at, length);
        if (platform::FromUtf8Exactly(character, local)) {
            shown += local;
        } else {
            char escape[16];
            std::snprintf(escape, sizeof escape, "\\u{%04X}",
                          static_cast<unsigned>(platform::DecodeUtf8(character.data(), length)));
            shown += escape;
        }
        at += length;
    }
    return shown;
}

std::string DisplayFormOfUtf8(std::string_view utf8) {
    return DisplayForm(LocalFormOfUtf8(utf8));
}

std::vector<std::string> DisguisingCharacters(std::string_view text) {
    std::vector<std::string> found;
    ForEachCharacter(text,
                     [&](std::string_view character, const std::optional<std::string>& escape) {
                         if (escape && character != "\t" &&
                             std::find(found.begin(), found.end(), *escape) == found.end()) {
                             found.push_back(*escape);
                         }
                     });
    return found;
}

}  // namespace korvane::setupfile
