// The rules both DOM backends apply alike: what a transform's result may hold at its top level,
// which element names a document may be given, how texts are cut at their bound, and which
// characters are XML white space.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "xml/load_bounds.h"
#include "xml/xml_rules.h"

namespace korvane::xml {
namespace {

using Kind = TopLevelNodes::Kind;

struct Node {
    Kind kind;
    std::string text;
};

// Whether the top level `nodes` make one document; also checks that Take gives up exactly when
// no node that could follow would make one.
bool OneDocument(const std::vector<Node>& nodes) {
    TopLevelNodes topLevel;
    bool possible = true;
    for (const Node& node : nodes) possible = topLevel.Take(node.kind, node.text) && possible;
    if (!possible) {
        EXPECT_FALSE(topLevel.OneDocument());
    }
    return topLevel.OneDocument();
}

TEST(TopLevelNodes, OneElementBesideMarkupAndLayoutIsOneDocument) {
    EXPECT_TRUE(OneDocument({{Kind::Element, ""}}));
    EXPECT_TRUE(OneDocument({{Kind::Markup, ""},
                             {Kind::Text, "\r\n\t "},
                             {Kind::Element, ""},
                             {Kind::Text, ""},
                             {Kind::Markup, ""}}));
}

TEST(TopLevelNodes, AnythingElseIsNot) {
    EXPECT_FALSE(OneDocument({}));
    EXPECT_FALSE(OneDocument({{Kind::Markup, ""}, {Kind::Text, "\n"}}));
    EXPECT_FALSE(OneDocument({{Kind::Element, ""}, {Kind::Element, ""}}));
    EXPECT_FALSE(OneDocument({{Kind::Element, ""}, {Kind::Text, " x "}}));
    EXPECT_FALSE(OneDocument({{Kind::Text, "\v"}, {Kind::Element, ""}}));  // not XML white space
    EXPECT_FALSE(OneDocument({{Kind::Other, ""}, {Kind::Element, ""}}));
}

TEST(IsCreatableElementName, NamesMustBeXmlAndWritableAsTheyAreInTheDeclaredEncoding) {
    const std::string hangul = "\xEC\x9D\xB4\xEB\xA6\x84";
    const std::string eAcute = "caf\xC3\xA9";
    for (const char* encoding : {"", "UTF-8", "EUC-KR", "ISO-8859-1", "US-ASCII", "UTF-16"}) {
        EXPECT_TRUE(IsCreatableElementName("SECTION_1", encoding)) << encoding;
        EXPECT_FALSE(IsCreatableElementName("a b", encoding)) << encoding;
        EXPECT_FALSE(IsCreatableElementName("", encoding)) << encoding;
    }
    // Without a declaration the document is UTF-8, which writes every name.
    EXPECT_TRUE(IsCreatableElementName(hangul, ""));
    EXPECT_TRUE(IsCreatableElementName(hangul, "EUC-KR"));
    EXPECT_FALSE(IsCreatableElementName(hangul, "ISO-8859-1"));
    EXPECT_TRUE(IsCreatableElementName(eAcute, "ISO-8859-1"));
    EXPECT_FALSE(IsCreatableElementName(eAcute, "US-ASCII"));
}

TEST(AppendWithin, TextsAreJoinedUpToTheBoundAndCutOnlyBetweenCharacters) {
    const std::string hangul = "\xEC\x9D\xB4";  // three bytes
    std::string out;
    EXPECT_TRUE(AppendWithin(out, "ab", 5));
    EXPECT_TRUE(AppendWithin(out, "", 5));
    EXPECT_FALSE(AppendWithin(out, "c" + hangul, 5));  // would end inside the character
    EXPECT_EQ(out, "abc");
    EXPECT_FALSE(AppendWithin(out, "d", 3));
    EXPECT_EQ(out, "abc");
    out = "ab";
    EXPECT_TRUE(AppendWithin(out, "c" + hangul, 6));  // exactly full
    EXPECT_EQ(out, "abc" + hangul);
    EXPECT_FALSE(AppendWithin(out, "\xFF", 6));
    EXPECT_EQ(out, "abc" + hangul);
}

TEST(IsXmlSpace, OnlySpaceTabCarriageReturnAndLineFeed) {
    std::string spaces;
    for (int c = 0; c < 256; ++c) {
        if (IsXmlSpace(static_cast<char>(c))) spaces.push_back(static_cast<char>(c));
    }
    EXPECT_EQ(spaces, std::string("\t\n\r "));
}

}  // namespace
}  // namespace korvane::xml
