#include "setupfile/display_width.h"

#include <algorithm>
#include <iterator>
#include <string>

#include "platform/code_page.h"
#include "platform/utf8.h"
#include "setupfile/display_width_ranges.h"

namespace korvane::setupfile {
namespace {

template <std::size_t N>
constexpr bool Sorted(const CodePointRange (&ranges)[N]) {
    for (std::size_t i = 0; i < N; ++i) {
        if (ranges[i].first > ranges[i].last) return false;
        if (i > 0 && ranges[i - 1].last >= ranges[i].first) return false;
    }
    return true;
}
static_assert(Sorted(kWideRanges) && Sorted(kZeroWidthRanges) && Sorted(kAmbiguousRanges),
              "the width ranges are sorted and apart, as the search needs");

template <std::size_t N>
bool Within(const CodePointRange (&ranges)[N], char32_t codePoint) {
    const auto after = std::upper_bound(
        std::begin(ranges), std::end(ranges), codePoint,
        [](char32_t point, const CodePointRange& range) { return point < range.first; });
    return after != std::begin(ranges) && codePoint <= std::prev(after)->last;
}

// Columns of one whole character of the active code page (`utf8` tells whether that is UTF-8).
std::size_t CharacterWidth(std::string_view character, bool utf8) {
    if (platform::IsAscii(character[0])) return 1;
    if (utf8) {
        if (character.size() == 1) return 1;  // no well-formed sequence: one replacement mark
        return static_cast<std::size_t>(
            CodePointWidth(platform::DecodeUtf8(character.data(), character.size())));
    }
    std::string converted;
    if (!platform::ToUtf8(character, converted) || converted.empty()) return character.size();
    const std::size_t length = platform::Utf8CharLength(converted.data(), converted.size());
    if (length != converted.size()) return character.size();
    const char32_t codePoint = platform::DecodeUtf8(converted.data(), length);
    // A double-byte code page is the East Asian legacy context in which ambiguous characters
    // (Greek, Cyrillic, box drawing, ...) are shown wide.
    if (character.size() > 1 && Within(kAmbiguousRanges, codePoint)) return 2;
    return static_cast<std::size_t>(CodePointWidth(codePoint));
}

}  // namespace

int CodePointWidth(char32_t codePoint) {
    if (codePoint < 0x300) return 1;  // Latin, with no mark or wide character among them
    if (Within(kZeroWidthRanges, codePoint)) return 0;
    return Within(kWideRanges, codePoint) ? 2 : 1;
}

std::size_t DisplayWidth(std::string_view text) {
    const bool utf8 = platform::ActiveCodePage() == platform::kCodePageUtf8;
    std::size_t width = 0;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = platform::CharLength(text.data() + at, text.size() - at);
        width += CharacterWidth(text.substr(at, length), utf8);
        at += length;
    }
    return width;
}

}  // namespace korvane::setupfile
