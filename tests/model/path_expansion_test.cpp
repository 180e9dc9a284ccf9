#include "model/path_expansion.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "model/setup_document.h"
#include "scoped_code_page.h"

namespace korvane::model {
namespace {

struct Example {
    const char* name;  // what the example shows, as the test's name
    std::vector<std::pair<std::string, std::string>> words;  // word, expansion
    std::string setupPath;
    std::string realPath;
};

class WorkedExample : public ::testing::TestWithParam<Example> {};

TEST_P(WorkedExample, ExpandsAsDocumented) {
    SetupDocument document;
    for (const auto& [word, expansion] : GetParam().words) {
        document.AddReservedWord(word, "", expansion);
    }
    EXPECT_EQ(document.ExpandReservedWords(GetParam().setupPath), GetParam().realPath);
}

INSTANTIATE_TEST_SUITE_P(
    PathExpansion, WorkedExample,
    ::testing::Values(
        Example{"WordsInKeyOrder",
                {{"%SYS%", "C:\\WINDOWS\\system32\\"}, {"%WIN%", "C:\\WINDOWS\\"}},
                "%SYS%drv.sys",
                "C:\\WINDOWS\\system32\\drv.sys"},
        Example{"EveryOccurrence",
                {{"%WIN%", "C:\\WINDOWS\\"}},
                "%WIN%a;%WIN%b",
                "C:\\WINDOWS\\a;C:\\WINDOWS\\b"},
        Example{"AnExpansionHoldingALaterWord",
                {{"%A%", "%B%sub\\"}, {"%B%", "D:\\Data\\"}},
                "%A%x",
                "D:\\Data\\sub\\x"},
        Example{
            "AnExpansionHoldingAnEarlierWord", {{"%A%", "D:\\"}, {"%B%", "%A%y"}}, "%B%", "%A%y"},
        Example{"AShorterWordFirst", {{"%P%", "X"}, {"%P%1", "Y"}}, "%P%1", "X1"},
        Example{"OccurrencesDoNotOverlap", {{"AA", "B"}}, "AAA", "BA"},
        Example{"ALoadedWordExpandsToNothing", {{"%W%", ""}}, "%W%\\setup.ini", "\\setup.ini"},
        Example{"AnEmptyTable", {}, "C:\\any\\path", "C:\\any\\path"},
        // An expansion that holds its own word is not expanded again.
        Example{"AnExpansionHoldingItsOwnWord", {{"%R%", "%R%%R%"}}, "%R%", "%R%%R%"},
        // The empty word would match everywhere; it is skipped.
        Example{"TheEmptyWordIsSkipped", {{"", "!"}, {"%X%", "x"}}, "a%X%b", "axb"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReplaceAll, MatchesNeverStartInsideADoubleByteCharacter) {
    // 0xB0 0xA1 is one character under code page 949; "\xA1" "A" starts on its second byte.
    const std::string source =
        "\xB0\xA1"
        "A";
    const std::string word =
        "\xA1"
        "A";
    {
        testing::ScopedCodePage korean(platform::kCodePageKorean);
        EXPECT_EQ(ReplaceAll(source, word, "X"), source);
        EXPECT_EQ(ReplaceAll("\xB0\xA1\xA1"
                             "A",
                             word, "X"),
                  "\xB0\xA1X");
    }
    testing::ScopedCodePage latin(platform::kCodePageLatin1);
    EXPECT_EQ(ReplaceAll(source, word, "X"), "\xB0X");
}

TEST(ReplaceAll, MatchesNeverStartInsideAUtf8Character) {
    testing::ScopedCodePage utf8(platform::kCodePageUtf8);
    EXPECT_EQ(ReplaceAll("\xEA\xB0\x80", "\xB0\x80", "X"), "\xEA\xB0\x80");
    EXPECT_EQ(ReplaceAll("a\xEA\xB0\x80"
                         "b\xEA\xB0\x80",
                         "\xEA\xB0\x80", "-"),
              "a-b-");
}

TEST(ExpandReservedWords, KeepsTheTextWithinTheBufferOnWholeCharacters) {
    testing::ScopedCodePage korean(platform::kCodePageKorean);
    ReservedWordTable words;
    const std::string expansion = std::string(500, '\xB0');  // 250 two-byte characters
    words.Add("%L%", "", expansion);

    // 2 + 3 * 500 bytes do not fit in 1023: the 511th character would straddle the limit,
    // so the text ends after 510 whole characters.
    EXPECT_EQ(ExpandReservedWords(words, "ab%L%%L%%L%"), "ab" + std::string(1020, '\xB0'));

    // The setup path itself is cut the same way before the first word.
    const std::string longPath = "bc" + std::string(1100, '\xB0');
    EXPECT_EQ(ExpandReservedWords(words, longPath), "bc" + std::string(1020, '\xB0'));
}

}  // namespace
}  // namespace korvane::model
