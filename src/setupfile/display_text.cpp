#include "setupfile/display_text.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <optional>

#include "platform/code_page.h"
#include "platform/utf8.h"

namespace korvane::setupfile {
namespace {

bool IsHiddenCodePoint(std::uint32_t codePoint) {
    return (codePoint >= 0x80 && codePoint <= 0x9F) ||
           (codePoint >= 0x202A && codePoint <= 0x202E) ||
           (codePoint >= 0x2066 && codePoint <= 0x2069);
}

// The escape for one whole character, or nothing when it prints as itself.
std::optional<std::string> EscapeOf(std::string_view character, bool utf8) {
    char escape[16];
    const auto first = static_cast<unsigned char>(character[0]);
    if (character.size() == 1 && (first < 0x20 || first == 0x7F)) {
        std::snprintf(escape, sizeof escape, "\\x%02X", first);
        return escape;
    }
    if (utf8 && character.size() > 1) {
        const std::uint32_t codePoint = platform::DecodeUtf8(character.data(), character.size());
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
