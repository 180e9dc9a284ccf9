#include "platform/code_page.h"

#include <gtest/gtest.h>

#include "model/setup_document.h"
#include "scoped_code_page.h"

namespace korvane::platform {
namespace {

std::size_t LengthIn(unsigned codePage, const char* text) {
    return CharLengthIn(codePage, text, std::char_traits<char>::length(text));
}

TEST(CharLength, DoubleByteCodePagesNeedLeadAndTrail) {
    EXPECT_EQ(LengthIn(kCodePageKorean, "\xB0\xA1x"), 2u);  // a Hangul syllable
    EXPECT_EQ(LengthIn(kCodePageKorean, "A\xB0"), 1u);
    EXPECT_EQ(LengthIn(kCodePageKorean, "\xB0"), 1u);           // lead byte at the end of the text
    EXPECT_EQ(CharLengthIn(kCodePageKorean, "\xB0\0", 2), 1u);  // lead byte before the end
    EXPECT_EQ(LengthIn(kCodePageShiftJis, "\x82\xA0"), 2u);
    EXPECT_EQ(LengthIn(kCodePageShiftJis, "\xE0\x40"), 2u);
    EXPECT_EQ(LengthIn(kCodePageShiftJis, "\xB1\xB2"), 1u);  // half-width katakana
    EXPECT_EQ(LengthIn(kCodePageGbk, "\xC4\xE3"), 2u);
    EXPECT_EQ(LengthIn(kCodePageBig5, "\xA7\x41"), 2u);
    EXPECT_EQ(LengthIn(kCodePageLatin1, "\xE9\xE9"), 1u);
}

TEST(CharLength, Utf8AcceptsOnlyWellFormedSequences) {
    EXPECT_EQ(LengthIn(kCodePageUtf8, "\xC3\xA9"), 2u);
    EXPECT_EQ(LengthIn(kCodePageUtf8, "\xEA\xB0\x80"), 3u);
    EXPECT_EQ(LengthIn(kCodePageUtf8, "\xF0\x9F\x98\x80"), 4u);
    EXPECT_EQ(LengthIn(kCodePageUtf8, "\xEA\xB0"), 1u);          // cut short
    EXPECT_EQ(LengthIn(kCodePageUtf8, "\xC0\xAF"), 1u);          // overlong
    EXPECT_EQ(LengthIn(kCodePageUtf8, "\xED\xA0\x80"), 1u);      // surrogate
    EXPECT_EQ(LengthIn(kCodePageUtf8, "\xF4\x90\x80\x80"), 1u);  // above U+10FFFF
    EXPECT_EQ(LengthIn(kCodePageUtf8, "\x80"), 1u);
}

TEST(CharLength, OtherMultibyteCodeSetsStepByWholeCharacters) {
    {
        testing::ScopedCodeSet gb18030("GB18030");
        EXPECT_EQ(CharLength("\x81\x30\x81\x30", 4), 4u);  // a four-byte character
        EXPECT_EQ(CharLength("\xC4\xE3", 2), 2u);
        EXPECT_EQ(WholeCharPrefix("a\x81\x30\x81\x30", 4), 1u);
        // A search never matches the digit inside the four-byte character.
        model::SetupDocument setup;
        setup.AddReservedWord("0", "", "zero");
        EXPECT_EQ(setup.ExpandReservedWords("\x81\x30\x81\x30-0"), "\x81\x30\x81\x30-zero");
    }
    {
        testing::ScopedCodeSet eucJp("EUC-JP");
        EXPECT_EQ(CharLength("\x8F\xB0\xA1", 3), 3u);  // JIS X 0212, three bytes
        EXPECT_EQ(CharLength("\xA4\xA2", 2), 2u);
        EXPECT_EQ(WholeCharPrefix("\xA4\xA2\x8F\xB0\xA1", 4), 2u);
    }
    {
        testing::ScopedCodeSet cyrillic("ISO-8859-5");
        EXPECT_EQ(CharLength("\xB0\xB1", 2), 1u);
        EXPECT_EQ(ToUtf8Replacing("\xB0"), "\xD0\x90");  // converted by the selected name
    }
}

TEST(WholeCharPrefix, CutsBeforeAPartialCharacter) {
    testing::ScopedCodePage korean(kCodePageKorean);
    EXPECT_EQ(WholeCharPrefix("\xB0\xA1\xB3\xAA", 3), 2u);
    EXPECT_EQ(WholeCharPrefix("a\xB0\xA1", 2), 1u);
    EXPECT_EQ(WholeCharPrefix("\xB0\xA1", 5), 2u);
    {
        testing::ScopedCodePage utf8(kCodePageUtf8);
        EXPECT_EQ(WholeCharPrefix("\xEA\xB0\x80z", 2), 0u);
        EXPECT_EQ(WholeCharPrefix("\xEA\xB0\x80z", 3), 3u);
    }
    testing::ScopedCodePage latin(kCodePageLatin1);
    EXPECT_EQ(WholeCharPrefix("\xB0\xA1\xB3\xAA", 3), 3u);
}

TEST(Utf8Conversion, ConvertsFromTheActiveCodePage) {
    std::string out;
    {
        testing::ScopedCodePage korean(kCodePageKorean);
        ASSERT_TRUE(
            ToUtf8("\xB0\xA1"
                   "A",
                   out));
        EXPECT_EQ(out,
                  "\xEA\xB0\x80"
                  "A");
        EXPECT_EQ(ToUtf8Replacing("a\xFF"
                                  "b"),
                  "a\xEF\xBF\xBD"
                  "b");
        EXPECT_FALSE(ToUtf8("a\xFF", out));
    }
    testing::ScopedCodePage utf8(kCodePageUtf8);
    ASSERT_TRUE(ToUtf8("\xEA\xB0\x80\xF0\x9F\x98\x80", out));
    EXPECT_EQ(out, "\xEA\xB0\x80\xF0\x9F\x98\x80");
    EXPECT_FALSE(ToUtf8("a\xFF", out));
    EXPECT_FALSE(ToUtf8("\xEA\xB0", out));
    EXPECT_EQ(ToUtf8Replacing("\xEA\xB0"
                              "x"),
              "\xEF\xBF\xBD\xEF\xBF\xBD"
              "x");
}

// An invalid sequence becomes one U+FFFD, and nothing around it is lost: glibc's CP949 reports
// an invalid pair only after stepping past it, which once cost the character that followed.
TEST(Utf8Conversion, AnInvalidSequenceReplacesOnlyItself) {
    const std::string replacement = "\xEF\xBF\xBD";
    struct Case {
        const char* codeSet;
        std::string invalid;  // one character's bytes, invalid in the code set
        std::string lead;     // a lead byte, which alone at the end is incomplete
    };
    const Case cases[] = {
        {"CP949", "\xA2\xE8", "\xB0"}, {"CP932", "\x85\x40", "\x88"},
        {"CP936", "\x81\x7F", "\xB0"}, {"CP950", "\xA2\xA0", "\xB0"},
        {"GB18030", "\xFF", "\x81"},   {"EUC-JP", "\xCF\xD4", "\xB0"},
    };
    for (const Case& c : cases) {
        testing::ScopedCodeSet codeSet(c.codeSet);
        SCOPED_TRACE(c.codeSet);
        EXPECT_EQ(ToUtf8Replacing(c.invalid + "AB"), replacement + "AB");
        EXPECT_EQ(ToUtf8Replacing("A" + c.invalid + "B"), "A" + replacement + "B");
        EXPECT_EQ(ToUtf8Replacing("AB" + c.invalid), "AB" + replacement);
        EXPECT_EQ(ToUtf8Replacing("A" + c.invalid + c.invalid + c.lead),
                  "A" + replacement + replacement + replacement);  // the lead byte at the end
    }
}

TEST(Utf8Conversion, WritesQuestionMarksForWhatTheCodePageLacks) {
    {
        testing::ScopedCodePage korean(kCodePageKorean);
        EXPECT_EQ(FromUtf8("\xEA\xB0\x80"
                           "A"),
                  "\xB0\xA1"
                  "A");
        EXPECT_EQ(FromUtf8("a\xC3\xA9\xF0\x9F\x98\x80"
                           "b"),
                  "a?"
                  "?b");
        EXPECT_EQ(FromUtf8("a\xFF"
                           "b"),
                  "a?b");
    }
    testing::ScopedCodePage utf8(kCodePageUtf8);
    EXPECT_EQ(FromUtf8("\xEA\xB0\x80"), "\xEA\xB0\x80");
    EXPECT_EQ(FromUtf8("a\xFF"), "a?");
}

TEST(FromUtf16, WritesQuestionMarksForWhatTheCodePageLacks) {
    {
        testing::ScopedCodePage korean(kCodePageKorean);
        EXPECT_EQ(FromUtf16(u"\uAC00A"),
                  "\xB0\xA1"
                  "A");
        EXPECT_EQ(FromUtf16(u"a\u00E9\U0001F600b"),
                  "a?"
                  "?b");
    }
    testing::ScopedCodePage utf8(kCodePageUtf8);
    EXPECT_EQ(FromUtf16(u"\uAC00\U0001F600"), "\xEA\xB0\x80\xF0\x9F\x98\x80");
    const char16_t loneSurrogates[] = {u'a', 0xD800, u'b', 0xDC00, 0};
    EXPECT_EQ(FromUtf16(loneSurrogates), "a?b?");
}

}  // namespace
}  // namespace korvane::platform
