// Configuration fields, reserved words and path expansion through the public header.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "guarded_buffer.h"
#include "korvane.h"

namespace {

using korvane::testing::GuardedBuffer;

class FieldsAndWords : public ::testing::Test {
  protected:
    void SetUp() override { ClearInMemory(); }

    static std::string Field(const char* name) {
        GuardedBuffer value(256);
        EXPECT_EQ(GetElementField(name, value.data()), 1);
        EXPECT_TRUE(value.GuardIntact());
        return value.text();
    }

    static std::string Expand(const char* path) {
        GuardedBuffer real(KORVANE_TEXT_SIZE);
        EXPECT_EQ(SetupPathToRealPath(path, real.data()), 1);
        EXPECT_TRUE(real.GuardIntact());
        return real.text();
    }
};

TEST_F(FieldsAndWords, ElementFieldsKeepTheFirstTextAndAreCaseSensitive) {
    EXPECT_EQ(SetElementField("NAME", "first"), 1);
    EXPECT_EQ(SetElementField("NAME", "second"), 1);
    EXPECT_EQ(SetElementField("name", "lower"), 2);
    EXPECT_EQ(Field("NAME"), "first");
    EXPECT_EQ(Field("name"), "lower");
}

TEST_F(FieldsAndWords, AskingForAnAbsentFieldAddsItEmpty) {
    SetElementField("A", "a");
    EXPECT_EQ(Field("ASKED"), "");
    // The asked-for field is now counted, and keeps its empty text.
    EXPECT_EQ(SetElementField("ASKED", "later"), 2);
    EXPECT_EQ(Field("ASKED"), "");
}

TEST_F(FieldsAndWords, AskingForANameThatCannotBeAnElementAddsNothing) {
    for (const char* name : {"", "1bad", "a b", "a:b", "<x>"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(Field(name), "");
    }
    // A name longer than any load reads back (50,000 bytes) is not added; one at the bound is.
    EXPECT_EQ(Field(std::string(50001, 'a').c_str()), "");
    EXPECT_EQ(SetElementField("OK", "x"), 1);  // nothing of the above was added
    EXPECT_EQ(Field(std::string(50000, 'a').c_str()), "");
    EXPECT_EQ(SetElementField("OK2", "x"), 3);
    // A caller may still store such a name on purpose.
    EXPECT_EQ(SetElementField("1bad", "x"), 4);
}

TEST_F(FieldsAndWords, AStoredFieldComesBackWhateverItsName) {
    for (const char* name : {"a b", "1bad", "", "k:NAME", "caf\xC3\xA9"}) {
        SCOPED_TRACE(name);
        SetElementField(name, "stored");
        EXPECT_EQ(Field(name), "stored");
    }
}

TEST_F(FieldsAndWords, ElementFieldMayReadIntoTheBufferHoldingTheName) {
    SetElementField("KEY", "a longer value");
    char buffer[32] = "KEY";
    EXPECT_EQ(GetElementField(buffer, buffer), 1);
    EXPECT_STREQ(buffer, "a longer value");
}

TEST_F(FieldsAndWords, ReservedWordsComeOutInByteOrderAndFirstWins) {
    EXPECT_EQ(SetReservedWord("B", "b-meaning", ""), 1);
    EXPECT_EQ(SetReservedWord("a", "", ""), 2);
    EXPECT_EQ(SetReservedWord("AB", "", ""), 3);
    EXPECT_EQ(SetReservedWord("A", "", ""), 4);
    EXPECT_EQ(SetReservedWord("\x80", "", ""), 5);
    EXPECT_EQ(SetReservedWord("B", "other", "X"), 5);

    std::vector<std::string> words;
    for (int32_t i = 0; i < GetReservedWordCount(); ++i) {
        GuardedBuffer word(64), meaning(KORVANE_TEXT_SIZE);
        ASSERT_EQ(GetReservedWord(i, word.data(), meaning.data()), 1);
        words.push_back(word.text());
        if (word.text() == "B") {
            EXPECT_EQ(meaning.text(), "b-meaning");
        }
    }
    EXPECT_EQ(words, (std::vector<std::string>{"A", "AB", "B", "a", "\x80"}));
    EXPECT_EQ(Expand("B"), "");  // the first, empty expansion stays
}

TEST_F(FieldsAndWords, PathExpansionUsesTheGivenExpansions) {
    EXPECT_EQ(Expand("C:\\any\\path"), "C:\\any\\path");
    SetReservedWord("%SYS%", "System folder", "C:\\WINDOWS\\system32\\");
    SetReservedWord("%WIN%", "Windows folder", "C:\\WINDOWS\\");
    EXPECT_EQ(Expand("%SYS%drv.sys;%WIN%a;%WIN%b"),
              "C:\\WINDOWS\\system32\\drv.sys;C:\\WINDOWS\\a;C:\\WINDOWS\\b");
    EXPECT_EQ(Expand("plain"), "plain");
}

TEST_F(FieldsAndWords, PathExpansionMayWriteIntoItsInputBuffer) {
    SetReservedWord("%A%", "", "D:\\Data\\sub\\");
    char buffer[KORVANE_TEXT_SIZE] = "%A%x%A%";
    EXPECT_EQ(SetupPathToRealPath(buffer, buffer), 1);
    EXPECT_STREQ(buffer, "D:\\Data\\sub\\xD:\\Data\\sub\\");
}

TEST_F(FieldsAndWords, PathExpansionNeverOverrunsTheRealPathBuffer) {
    SetReservedWord("%L%", "", std::string(1000, 'L').c_str());
    const std::string expanded = Expand("%L%%L%%L%");
    EXPECT_EQ(expanded, std::string(1023, 'L'));
    EXPECT_EQ(Expand(std::string(3000, 'p').c_str()), std::string(1023, 'p'));
    // The empty word is skipped rather than matched at every position.
    SetReservedWord("", "", "!");
    EXPECT_EQ(Expand("ab"), "ab");
}

}  // namespace
