// Texts shown to people are escaped wherever a terminal would act on them or they would hide
// part of the text, under every code page: what counts is what each byte decodes to there. The
// check reports the same characters in a file's values.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/code_page.h"
#include "scoped_code_page.h"
#include "setupfile/display_text.h"
#include "setupfile/setup_check.h"

namespace korvane {
namespace {

using setupfile::DisguisingCharacters;
using setupfile::DisplayForm;
using testing::ScopedCodePage;
using testing::ScopedCodeSet;

using Escapes = std::vector<std::string>;

// A setup file whose one command is `command` (UTF-8, markup escaped by the caller).
std::string SetupWithCommand(const std::string& command) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<SETUP><PREEXECUTE>\n<COMMAND>" + command +
           "</COMMAND>\n</PREEXECUTE></SETUP>\n";
}

// 9B (CSI) clears the screen here, 9D (OSC) ... 9C (ST) would plant a link.
const std::string kLatinControls =
    "a\x9B"
    "2Jb\x9D"
    "8;;x\x9C"
    "c\x85";

TEST(ControlEscapes, IsoLatinC1BytesAreEscapedAsBytes) {
    ScopedCodeSet latin("ISO-8859-1");
    EXPECT_EQ(DisplayForm(kLatinControls), "a\\x9B2Jb\\x9D8;;x\\x9Cc\\x85");
    EXPECT_EQ(DisguisingCharacters(kLatinControls), (Escapes{"\\x9B", "\\x9D", "\\x9C", "\\x85"}));
    // The rest of the upper half is printable: the no-break space, letters, the last byte.
    EXPECT_EQ(DisplayForm("\xA0"
                          "caf\xE9 \xFF\x7F"),
              "\xA0"
              "caf\xE9 \xFF\\x7F");
}

TEST(ControlEscapes, CodePage1252KeepsItsPrintableCharactersInTheC1Range) {
    ScopedCodePage western(platform::kCodePageLatin1);
    // The euro sign, quotation marks, dashes, the trade mark, oe and Y with diaeresis.
    const std::string printable = "\x80\x82\x84\x8A\x8C\x91\x92\x93\x94\x96\x97\x99\x9B\x9C\x9F";
    EXPECT_EQ(DisplayForm(printable), printable);
    EXPECT_TRUE(DisguisingCharacters(printable).empty());
    // The bytes the code page leaves undefined are no characters of it.
    EXPECT_EQ(DisplayForm("\x81\x8D\x8F\x90\x9D"), "\\x81\\x8D\\x8F\\x90\\x9D");
}

TEST(ControlEscapes, DoubleByteCodePagesLeaveLeadBytesInTheC1RangeAlone) {
    ScopedCodePage korean(platform::kCodePageKorean);
    // 갂 is 81 41, 똠 8C 63, and 9B A1 a character whose lead byte is CSI's number.
    const std::string hangul = "\x81\x41\x8C\x63\x9B\xA1";
    EXPECT_EQ(DisplayForm(hangul), hangul);
    EXPECT_TRUE(DisguisingCharacters(hangul).empty());
    // A lead byte that ends the text is no character, and could join what is printed next.
    EXPECT_EQ(DisplayForm("ok\x9B"), "ok\\x9B");
}

TEST(ControlEscapes, Utf8EscapesCharactersThatHideOrBreakText) {
    ScopedCodePage utf8(platform::kCodePageUtf8);
    struct Case {
        const char* text;
        const char* shown;
    };
    const Case hidden[] = {
        {"\xC2\x9B", "\\u{009B}"},
        {"\xD8\x9C", "\\u{061C}"},
        {"\xE1\xA0\x8E", "\\u{180E}"},
        {"\xE2\x80\x8B", "\\u{200B}"},
        {"\xE2\x80\x8C", "\\u{200C}"},
        {"\xE2\x80\x8D", "\\u{200D}"},
        {"\xE2\x80\x8E", "\\u{200E}"},
        {"\xE2\x80\x8F", "\\u{200F}"},
        {"\xE2\x80\xA8", "\\u{2028}"},
        {"\xE2\x80\xA9", "\\u{2029}"},
        {"\xE2\x80\xAE", "\\u{202E}"},
        {"\xE2\x81\xA0", "\\u{2060}"},
        {"\xE2\x81\xA4", "\\u{2064}"},
        {"\xE2\x81\xA6", "\\u{2066}"},
        {"\xE2\x81\xAF", "\\u{206F}"},
        {"\xEF\xBB\xBF", "\\u{FEFF}"},
        {"\xEF\xBF\xB9", "\\u{FFF9}"},
        {"\xEF\xBF\xBB", "\\u{FFFB}"},
        {"\xF3\xA0\x80\x81", "\\u{E0001}"},
        {"\xF3\xA0\x81\xBF", "\\u{E007F}"},
        {"\x9B", "\\x9B"},  // a byte that is no UTF-8 character
    };
    for (const Case& one : hidden) {
        EXPECT_EQ(DisplayForm(std::string("<") + one.text + ">"),
                  std::string("<") + one.shown + ">")
            << one.shown;
        EXPECT_EQ(DisguisingCharacters(one.text), Escapes{one.shown});
    }
    // Their neighbours print as themselves: the Arabic semicolon, the hair space, the hyphen,
    // the one-dot leader, the narrow no-break space, the medium mathematical space, the
    // superscript zero, the object replacement character, Hangul and a variation selector.
    const std::string shown =
        "\xD8\x9B \xE2\x80\x8A \xE2\x80\x90 \xE2\x80\xA4 \xE2\x80\xAF \xE2\x81\x9F "
        "\xE2\x81\xB0 \xEF\xBF\xBC \xED\x95\x9C \xEF\xB8\x8F";
    EXPECT_EQ(DisplayForm(shown), shown);
}

// The one finding of `file`, which must be an error on line 3 (the command's line).
std::string OnlyErrorOnLine3(const std::string& file) {
    const setupfile::CheckResult result = setupfile::CheckSetupBytes(file);
    EXPECT_TRUE(result.parsed);
    if (result.findings.size() != 1) return "findings: " + std::to_string(result.findings.size());
    EXPECT_EQ(result.findings[0].line, 3);
    EXPECT_FALSE(result.findings[0].warning);
    return result.findings[0].message;
}

TEST(ControlEscapes, CheckReportsControlsUnderEveryCodePageThatHasThem) {
    const std::string file = SetupWithCommand("a&#x9B;2Jb&#x9D;8;;x&#x9C;");
    const std::string finding = "holds characters that can disguise it on a screen: ";
    {
        ScopedCodeSet latin("ISO-8859-1");
        const std::string message = OnlyErrorOnLine3(file);
        EXPECT_NE(message.find(finding + "\\x9B \\x9D \\x9C"), std::string::npos) << message;
    }
    {
        ScopedCodePage utf8(platform::kCodePageUtf8);
        const std::string message = OnlyErrorOnLine3(file);
        EXPECT_NE(message.find(finding + "\\u{009B} \\u{009D} \\u{009C}"), std::string::npos)
            << message;
    }
    // Under 1252 CSI and ST are not in the code page: the load keeps the file's text, which a
    // save writes back, and the check warns of that alone.
    ScopedCodePage western(platform::kCodePageLatin1);
    const setupfile::CheckResult result =
        setupfile::CheckSetupBytes(SetupWithCommand("a&#x9B;2Jb&#x9C;"));
    ASSERT_EQ(result.findings.size(), 1u);
    EXPECT_TRUE(result.findings[0].warning);
}

TEST(ControlEscapes, CheckShowsTheFileTextOfALossWarningEscaped) {
    ScopedCodeSet latin("ISO-8859-1");
    // Hangul, which the code page lacks, beside a control sequence, which it holds.
    const setupfile::CheckResult result =
        setupfile::CheckSetupBytes(SetupWithCommand("&#x9B;2J&#xD55C;"));
    ASSERT_FALSE(result.findings.empty());
    const std::string& message = result.findings[0].message;
    EXPECT_EQ(message.find('\x9B'), std::string::npos) << message;
    EXPECT_NE(message.find("'\\x9B2J\\u{D55C}' reads as '\\x9B2J?'"), std::string::npos) << message;
}

}  // namespace
}  // namespace korvane
