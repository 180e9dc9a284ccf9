#include "model/tables.h"

#include <gtest/gtest.h>

#include <string>

#include "model/packed_texts.h"
#include "scoped_code_page.h"

namespace korvane::model {
namespace {

TEST(PackedTexts, KeepsEachTextApartAndCutsItToItsWidth) {
    testing::ScopedCodePage korean(platform::kCodePageKorean);
    const std::string hangul = "\xB0\xA1";
    const PackedTexts<4> texts({"first", "", hangul + hangul + hangul, "last"}, {8, 8, 6, 5});
    EXPECT_EQ(texts[0], "first");
    EXPECT_EQ(texts[1], "");
    // Six bytes hold five with the terminator: the third character would be split, so it goes.
    EXPECT_EQ(texts[2], hangul + hangul);
    EXPECT_EQ(texts[3], "last");
    // Each text is followed by its terminator, so it can be handed out as a C string.
    EXPECT_EQ(texts[0].data()[texts[0].size()], '\0');
    EXPECT_EQ(texts[3].data()[texts[3].size()], '\0');

    const PackedTexts<2> empty({"", ""}, {4, 4});
    EXPECT_EQ(empty[0], "");
    EXPECT_EQ(empty[1], "");
}

TEST(ReservedWordTable, PositionsFollowKeyOrderAcrossLaterAdditions) {
    ReservedWordTable words;
    EXPECT_TRUE(words.Add("M", "m", ""));
    EXPECT_TRUE(words.Add("Z", "z", ""));
    ASSERT_NE(words.At(1), nullptr);
    EXPECT_EQ(words.At(1)->first, "Z");
    // A word that sorts first moves every position read before.
    EXPECT_TRUE(words.Add("A", "a", ""));
    EXPECT_EQ(words.At(0)->first, "A");
    EXPECT_EQ(words.At(1)->first, "M");
    EXPECT_EQ(words.At(2)->second.Meaning(), "z");
    EXPECT_EQ(words.At(3), nullptr);
    // The first entry for a word stays.
    EXPECT_FALSE(words.Add("M", "other", "x"));
    EXPECT_EQ(words.At(1)->second.Meaning(), "m");
    words.clear();
    EXPECT_EQ(words.At(0), nullptr);
    EXPECT_TRUE(words.Add("B", "b", ""));
    EXPECT_EQ(words.At(0)->first, "B");
}

}  // namespace
}  // namespace korvane::model
