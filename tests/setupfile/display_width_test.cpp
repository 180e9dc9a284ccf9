// The columns a text takes on a terminal, by which the command's tables line up: East Asian
// wide and full-width characters take two, combining marks and joiners none, under every code
// page the character is decoded from.
#include <gtest/gtest.h>

#include <string>

#include "platform/code_page.h"
#include "scoped_code_page.h"
#include "setupfile/display_width.h"

namespace {

using korvane::setupfile::CodePointWidth;
using korvane::setupfile::DisplayWidth;
using korvane::testing::ScopedCodePage;
using korvane::testing::ScopedCodeSet;

TEST(DisplayWidth, EachCharacterTakesTheColumnsOfItsEastAsianWidth) {
    struct Case {
        char32_t codePoint;
        int width;
    };
    for (const Case& each : {
             Case{U'a', 1},     Case{0x00E9, 1},   // é, precomposed
             Case{0x00AD, 1},                      // soft hyphen, shown as a hyphen
             Case{0x0301, 0},   Case{0x20DD, 0},   // combining acute (Mn), enclosing circle (Me)
             Case{0x200B, 0},   Case{0x200D, 0},   // zero-width space and joiner (Cf)
             Case{0xFEFF, 0},                      // zero-width no-break space (Cf)
             Case{0x1161, 0},                      // a Hangul vowel jamo, joined to the syllable
             Case{0x1100, 2},   Case{0xD55C, 2},   // Hangul initial jamo and syllable (W)
             Case{0x4E00, 2},   Case{0x3000, 2},   // an ideograph, the ideographic space
             Case{0xFF21, 2},   Case{0xFF61, 1},   // full-width A (F), half-width stop (H)
             Case{0x1F600, 2},  Case{0x3FFFD, 2},  // an emoji; unassigned, CJK by default
             Case{0x0378, 1},   Case{0x00B1, 1},   // unassigned; ambiguous ±
             Case{0x10FFFF, 1},
         }) {
        EXPECT_EQ(CodePointWidth(each.codePoint), each.width)
            << std::hex << static_cast<unsigned>(each.codePoint);
    }
}

TEST(DisplayWidth, CountsColumnsOfTextUnderUtf8) {
    ScopedCodePage utf8(korvane::platform::kCodePageUtf8);
    EXPECT_EQ(DisplayWidth(""), 0u);
    EXPECT_EQ(DisplayWidth("Harbor"), 6u);
    EXPECT_EQ(DisplayWidth("\xED\x95\x98\xEB\xB2\x84 \xEB\x85\xB8\xED\x8A\xB8"), 9u);  // 하버 노트
    EXPECT_EQ(DisplayWidth("e\xCC\x81t\xC3\xA9"), 3u);  // e + combining acute, t, é
    EXPECT_EQ(DisplayWidth("\xEF\xBC\xA1"), 2u);        // full-width A
    EXPECT_EQ(DisplayWidth("a\xFF"
                           "b"),
              3u);  // a byte that is no UTF-8: one mark
}

// Under a legacy code page the character is decoded before it is measured: a Hangul syllable
// is two bytes and two columns in euc-kr, a Latin letter with its accent one byte and one
// column, a half-width katakana two bytes in EUC-JP but one column.
TEST(DisplayWidth, DecodesEachCharacterOfALegacyCodePage) {
    {
        ScopedCodePage korean(korvane::platform::kCodePageKorean);
        EXPECT_EQ(DisplayWidth("\xC7\xD1\xB1\xDB ok"), 7u);  // 한글 ok
        EXPECT_EQ(DisplayWidth("\xA3\xC1"), 2u);             // full-width A
        // An ambiguous character (the acute accent, U+00B4) that is a double-byte one here is
        // shown wide, as East Asian terminals show it.
        EXPECT_EQ(DisplayWidth("\xA2\xA5"), 2u);
    }
    {
        ScopedCodePage western(korvane::platform::kCodePageLatin1);
        EXPECT_EQ(DisplayWidth("caf\xE9"), 4u);
    }
    {
        ScopedCodeSet japanese("EUC-JP");
        EXPECT_EQ(DisplayWidth("\xA4\xA2"
                               "a"),
                  3u);                            // あ, a
        EXPECT_EQ(DisplayWidth("\x8E\xB1"), 1u);  // ｱ, half-width
    }
}

}  // namespace
