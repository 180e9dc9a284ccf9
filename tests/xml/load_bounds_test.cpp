// Loading files built to make the parser slow, or that hide a NUL character: they are refused
// and the description stays as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "dom_backend.h"
#include "model/setup_document.h"
#include "scoped_code_page.h"
#include "scratch_directory.h"
#include "setup_file_io.h"
#include "xml/markup_scanner.h"

namespace korvane::xml {
namespace {

using model::CommandKind;
using model::SetupDocument;
using testing::ScratchDirectory;

std::string Attributes(int count) {
    std::string attributes;
    for (int i = 0; i < count; ++i) attributes += " a" + std::to_string(i) + "=''";
    return attributes;
}

// UTF-16LE with a byte-order mark, for ASCII `text`.
std::string Utf16Le(const std::string& text) {
    std::string out = "\xFF\xFE";
    for (char c : text) {
        out.push_back(c);
        out.push_back('\0');
    }
    return out;
}

class LoadBounds : public ::testing::Test {
  protected:
    // Loads `contents` into a description that holds one command; returns the load's result
    // after checking that a refused load left that command alone.
    int Load(const std::string& contents) {
        directory_.Write("setup.xml", contents);
        SetupDocument setup;
        setup.AddCommand(CommandKind::PreExecute, "kept");
        const setupfile::LoadResult result = setupfile::LoadSetupFile("setup.xml", setup);
        if (!result) {
            EXPECT_EQ(setup.Commands(CommandKind::PreExecute), std::vector<std::string>{"kept"});
            EXPECT_EQ(result.kind, setupfile::LoadResult::Kind::Refused) << result.text;
        }
        return result ? 1 : 0;
    }
    ScratchDirectory directory_{false};
};

TEST_F(LoadBounds, AStartTagWithMoreThan256AttributesIsRefused) {
    EXPECT_EQ(Load("<SETUP" + Attributes(256) + "/>"), 1);
    EXPECT_EQ(Load("<SETUP" + Attributes(257) + "/>"), 0);
    EXPECT_EQ(Load("<SETUP><CONFIG><F" + Attributes(300) + ">x</F></CONFIG></SETUP>"), 0);
    // Namespace declarations are attributes to the parser as well.
    std::string namespaces;
    for (int i = 0; i < 257; ++i) namespaces += " xmlns:p" + std::to_string(i) + "='urn:x'";
    EXPECT_EQ(Load("<SETUP" + namespaces + "/>"), 0);
    // Counted by code units in UTF-16, where every other byte is zero.
    EXPECT_EQ(Load(Utf16Le("<SETUP" + Attributes(10) + "/>")), 1);
    EXPECT_EQ(Load(Utf16Le("<SETUP" + Attributes(257) + "/>")), 0);
}

TEST_F(LoadBounds, EqualsSignsOutsideStartTagsAreNotAttributes) {
    const std::string many(1000, '=');
    EXPECT_EQ(Load("<?xml version='1.0'?><!-- " + many + " --><?pi " + many +
                   "?>"
                   "<!DOCTYPE SETUP [<!-- " +
                   many +
                   " --><!ENTITY e 'text'>]>"
                   "<SETUP a='" +
                   many + "' b=\"'>" + many + "\"><CONFIG><F><![CDATA[<x " + many + ">]]>" + many +
                   "&e;</F></CONFIG></SETUP>"),
              testing::kLoadsDocumentTypes ? 1 : 0);
}

TEST_F(LoadBounds, AttributesHiddenInEntitiesAndDefaultsAreCounted) {
    EXPECT_EQ(Load("<!DOCTYPE SETUP [<!ENTITY e \"<X" + Attributes(257) +
                   "/>\">]><SETUP><CONFIG><F>&e;</F></CONFIG></SETUP>"),
              0);
    std::string defaults;
    for (int i = 0; i < 257; ++i) defaults += " d" + std::to_string(i) + " CDATA 'v'";
    EXPECT_EQ(Load("<!DOCTYPE SETUP [<!ATTLIST SETUP" + defaults + ">]><SETUP/>"), 0);
    EXPECT_EQ(
        Load("<!DOCTYPE SETUP [<!ENTITY % p \"<!ATTLIST SETUP" + defaults + ">\"> %p;]><SETUP/>"),
        0);
}

TEST_F(LoadBounds, MoreThan10000DistinctNamesAreRefused) {
    const auto distinct = [](int count, const char* before, const char* after) {
        std::string xml = "<SETUP>";
        for (int i = 0; i < count; ++i) xml += before + std::to_string(i) + after;
        return xml + "</SETUP>";
    };
    EXPECT_EQ(Load(distinct(9000, "<n", "/>")), 1);
    EXPECT_EQ(Load(distinct(10001, "<n", "/>")), 0);
    // Attribute names fill the parser's dictionary the same way.
    EXPECT_EQ(Load(distinct(50000, "<n a", "=''/>")), 0);
}

TEST_F(LoadBounds, ANulCharacterIsRefusedWhereverItIs) {
    using namespace std::string_literals;
    EXPECT_EQ(Load("<SETUP></SETUP>\0garbage"s), 0);
    EXPECT_EQ(Load("<SETUP><CONFIG><F>a\0b</F></CONFIG></SETUP>"s), 0);
    EXPECT_EQ(Load(Utf16Le("<SETUP/>")), 1);
    EXPECT_EQ(Load(Utf16Le("<SETUP/>\0x"s)), 0);
}

TEST_F(LoadBounds, EncodingsWhoseMarkupCannotBeFollowedAreRefused) {
    EXPECT_EQ(Load("<?xml version='1.0' encoding='euc-kr'?><SETUP/>"), 1);
    EXPECT_EQ(Load("<?xml version='1.0' encoding='Shift_JIS'?><SETUP/>"), 1);
    EXPECT_EQ(Load("<?xml version='1.0' encoding='ISO-2022-KR'?><SETUP/>"), 0);
    EXPECT_EQ(Load("<?xml version='1.0' encoding='UTF-16LE'?><SETUP/>"), 0);
}

// Whether the scanner accepts `document` handed to it `chunk` bytes at a time.
bool Scanned(const std::string& document, std::size_t chunk) {
    MarkupScanner scanner;
    const auto* bytes = reinterpret_cast<const unsigned char*>(document.data());
    for (std::size_t at = 0; at < document.size(); at += chunk) {
        if (!scanner.Feed(bytes + at, std::min(chunk, document.size() - at))) return false;
    }
    return scanner.Finish();
}

TEST(RunBound, HoldsWhereverTheInputIsSplit) {
    constexpr std::size_t kBound = MarkupScanner::kMaxRunBytes;
    // Line feeds and a character reference in the text, which the fast path of the scan
    // counts, and runs on both sides of a comment, each counted on its own.
    const std::string text =
        std::string(kBound / 2, '\n') + "&amp;" + std::string(kBound / 2 - 5, 'x');
    for (const std::size_t chunk : {std::size_t{7}, std::size_t{65536}}) {
        EXPECT_TRUE(Scanned("<A>" + text + "<!--c-->" + text + "</A>", chunk)) << chunk;
        EXPECT_FALSE(Scanned("<A>" + text + "y<!--c--></A>", chunk)) << chunk;
        EXPECT_FALSE(Scanned("<A b='" + text + "y'/>", chunk)) << chunk;
    }
    // Shift_JIS's half-width katakana take one byte, and three in UTF-8; its trail bytes may
    // be ASCII ('\x95\x5C' is one kanji), which must not end the measured run.
    const std::string declaration = "<?xml version='1.0' encoding='Shift_JIS'?>";
    std::string kana;
    for (std::size_t i = 0; i < kBound / 3; ++i) kana += i % 2 == 0 ? "\xB1" : "\x95\x5C";
    EXPECT_TRUE(Scanned(declaration + "<A>ab" + kana + "</A>", 4096));
    EXPECT_FALSE(Scanned(declaration + "<A>abc" + kana + "</A>", 4096));
}

TEST(RunBound, ASaveMeasuresAValueAsTheFileHoldsIt) {
    ScratchDirectory directory;
    testing::ScopedCodePage korean(949);
    // U+B620 is in code page 949 (8C 63) but not in euc-kr, so the file holds "&#46624;":
    // eight bytes where the character takes three in UTF-8 and two in the code page.
    constexpr std::size_t kReferences = 1000;
    std::string value;
    for (std::size_t i = 0; i < kReferences; ++i) value += "\x8C\x63";
    value += std::string(MarkupScanner::kMaxRunBytes - 8 * kReferences, 'x');
    for (const bool over : {true, false}) {
        SetupDocument setup;
        setup.AddElementField("V", over ? value + "a" : value);
        const setupfile::SaveResult saved = setupfile::SaveSetupFile(setup, "setup.xml");
        EXPECT_EQ(static_cast<bool>(saved), !over) << saved.detail;
        if (over) {
            EXPECT_NE(saved.detail.find("CONFIG/V"), std::string::npos) << saved.detail;
        }
    }
    SetupDocument loaded;
    ASSERT_TRUE(setupfile::LoadSetupFile("setup.xml", loaded));
    EXPECT_EQ(loaded.ElementFieldAddingAbsent("V").substr(0, 4), "\x8C\x63\x8C\x63");
}

}  // namespace
}  // namespace korvane::xml
