// The one bound on a run of text, measured as UTF-8 the same way on every build: a load refuses
// a longer run before any parser sees it, and a save never writes one.
#include <gtest/gtest.h>

#include <string>

#include "guarded_buffer.h"
#include "korvane.h"
#include "scratch_directory.h"

namespace {

using korvane::testing::GuardedBuffer;
using korvane::testing::ScratchDirectory;

constexpr std::size_t kBound = 8000000;

std::string Utf16Le(const std::string& ascii, const std::u16string& text) {
    std::string out = "\xFF\xFE";
    for (const char c : ascii) out += std::string{c, '\0'};
    for (const char16_t unit : text) {
        out.push_back(static_cast<char>(unit & 0xFF));
        out.push_back(static_cast<char>(unit >> 8));
    }
    return out;
}

class TextBound : public ::testing::Test {
  protected:
    void SetUp() override { ClearInMemory(); }

    // Loads `contents`; a refused load must leave the description as it was.
    int Load(const std::string& contents) {
        directory_.Write("big.xml", contents);
        ClearInMemory();
        SetElementField("KEPT", "kept");
        const int loaded = LoadSetupFile("big.xml");
        if (loaded == 0) {
            GuardedBuffer value(16);
            EXPECT_EQ(GetElementField("KEPT", value.data()), 1);
            EXPECT_EQ(value.text(), "kept");
        }
        return loaded;
    }

    ScratchDirectory directory_;
};

TEST_F(TextBound, EveryKindOfRunIsReadUpToTheBoundAndRefusedPastIt) {
    struct Run {
        const char* before;
        const char* after;
    };
    const Run runs[] = {
        {"<SETUP><CONFIG><A>", "</A></CONFIG></SETUP>"},
        {"<SETUP><CONFIG><A><![CDATA[", "]]></A></CONFIG></SETUP>"},
        {"<SETUP><!--", "--></SETUP>"},
        {"<SETUP><?pi ", "?></SETUP>"},  // the target, the blank and the data make the run
        {"<SETUP a='", "'/>"},
    };
    for (const Run& run : runs) {
        const std::size_t own = std::string(run.before).find("<?pi") != std::string::npos ? 3 : 0;
        const std::string atBound(kBound - own, 'x');
        EXPECT_EQ(Load(run.before + atBound + run.after), 1) << run.before;
        EXPECT_EQ(Load(run.before + atBound + "x" + run.after), 0) << run.before;
    }
}

TEST_F(TextBound, TheBoundCountsUtf8WhateverTheFileEncoding) {
    // U+AC00 is two bytes in UTF-16 and in euc-kr, three in UTF-8.
    const std::size_t hangul = kBound / 3;  // 2,666,666 characters, 7,999,998 bytes
    std::string eucKr;
    for (std::size_t i = 0; i < hangul; ++i) eucKr += "\xB0\xA1";
    const std::string declaration = "<?xml version=\"1.0\" encoding=\"euc-kr\"?>";
    EXPECT_EQ(Load(declaration + "<SETUP><CONFIG><A>ab" + eucKr + "</A></CONFIG></SETUP>"), 1);
    EXPECT_EQ(Load(declaration + "<SETUP><CONFIG><A>abc" + eucKr + "</A></CONFIG></SETUP>"), 0);

    const std::u16string wide(hangul, u'\xAC00');
    EXPECT_EQ(Load(Utf16Le("<SETUP><CONFIG><A>ab", wide + u"</A></CONFIG></SETUP>")), 1);
    EXPECT_EQ(Load(Utf16Le("<SETUP><CONFIG><A>abc", wide + u"</A></CONFIG></SETUP>")), 0);
    // A character reference counts as the characters it is written with.
    EXPECT_EQ(
        Load("<SETUP><CONFIG><A>&amp;" + std::string(kBound - 5, 'x') + "</A></CONFIG></SETUP>"),
        1);
    EXPECT_EQ(
        Load("<SETUP><CONFIG><A>&amp;" + std::string(kBound - 4, 'x') + "</A></CONFIG></SETUP>"),
        0);
}

TEST_F(TextBound, ASaveNeverWritesWhatALoadRefuses) {
    ASSERT_EQ(SaveSetupFile("setup.xml"), 1);
    const std::string saved = directory_.Read("setup.xml");

    // In the file '&' is "&amp;" and '<' is "&lt;": nine bytes for the two.
    const std::string escapes = "&<";
    SetElementField("LONG", (escapes + std::string(kBound - 9 + 1, 'x')).c_str());
    EXPECT_EQ(SaveSetupFile("setup.xml"), 0);
    EXPECT_EQ(directory_.Read("setup.xml"), saved);
    SetPreExecute(std::string(kBound + 1, 'c').c_str());
    EXPECT_EQ(SaveSetupFile("setup.xml"), 0);
    EXPECT_EQ(directory_.Read("setup.xml"), saved);

    ClearInMemory();
    SetElementField("LONG", (escapes + std::string(kBound - 9, 'x')).c_str());
    ASSERT_EQ(SaveSetupFile("setup.xml"), 1);
    ClearInMemory();
    ASSERT_EQ(LoadSetupFile("setup.xml"), 1);
    GuardedBuffer value(1024);
    GetElementField("LONG", value.data());
    EXPECT_EQ(value.text().substr(0, 4), "&<xx");
}

}  // namespace
