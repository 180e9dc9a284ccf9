// The seam between a DOM backend and the file: parsing bytes or decoded text, serialising to
// UTF-8, and the shared encoder that names and applies the file's encoding.
#include <gtest/gtest.h>

#include <string>

#include "xml/dom.h"
#include "xml/xml_encoding.h"

namespace korvane::xml {
namespace {

const char* const kHangul = "\xED\x95\x9C";  // U+D55C, in euc-kr B0 A1 ... (two bytes)

TEST(XmlEncoding, DeclarationNamesTheTargetAndLackingCharactersBecomeReferences) {
    std::string bytes;
    const std::string text = std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<a>") +
                             kHangul + "\xC3\xA9\xF0\x9F\x98\x80</a>\n";
    ASSERT_TRUE(EncodeXmlText(text, "euc-kr", bytes));
    EXPECT_EQ(bytes,
              "<?xml version=\"1.0\" encoding=\"euc-kr\"?>\n<a>\xC7\xD1&#233;&#128512;</a>\n");
    // No encoding named: one is added after the version; no declaration: one is added.
    ASSERT_TRUE(EncodeXmlText("<?xml version='1.0' standalone='yes'?><a/>", "ISO-8859-1", bytes));
    EXPECT_EQ(bytes, "<?xml version='1.0' encoding=\"ISO-8859-1\" standalone='yes'?><a/>");
    ASSERT_TRUE(EncodeXmlText("<a/>", "ISO-8859-1", bytes));
    EXPECT_EQ(bytes, "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<a/>");
    // UTF-8 without a declaration stays as it is.
    ASSERT_TRUE(EncodeXmlText("<a>\xC3\xA9</a>", "utf-8", bytes));
    EXPECT_EQ(bytes, "<a>\xC3\xA9</a>");
    EXPECT_FALSE(EncodeXmlText("<a/>", "no-such-encoding", bytes));
    EXPECT_FALSE(EncodeXmlText("<a>\xFF</a>", "euc-kr", bytes));
}

TEST(XmlEncoding, SerialisedTextKeepsCharactersAsTheyAre) {
    auto document = Document::Create();
    ASSERT_NE(document, nullptr);
    ASSERT_TRUE(
        document->AppendProcessingInstruction("xml", "version=\"1.0\" encoding=\"euc-kr\""));
    const Node root = document->CreateElement("a");
    ASSERT_TRUE(document->AppendChild(Node(), root));
    ASSERT_TRUE(
        document->AppendChild(root, document->CreateTextNode(std::string(kHangul) + "\xC3\xA9")));
    SerializedDocument serialized;
    ASSERT_TRUE(document->Serialize(serialized));
    EXPECT_EQ(serialized.encoding, "euc-kr");
    EXPECT_NE(serialized.text.find(std::string("<a>") + kHangul + "\xC3\xA9</a>"),
              std::string::npos)
        << serialized.text;
}

TEST(XmlEncoding, TextIsParsedAsUtf8WhateverItsDeclarationSays) {
    const std::string file =
        std::string("<?xml version=\"1.0\" encoding=\"euc-kr\"?><a>") + "\xC7\xD1" + "</a>";
    const std::string text =
        std::string("<?xml version=\"1.0\" encoding=\"euc-kr\"?><a>") + kHangul + "</a>";
    auto document = Document::Create();
    ParseError error;
    std::string value;
    ASSERT_TRUE(document->ParseBytes(file, error)) << error.text;
    ASSERT_TRUE(document->Text(document->DocumentElement(), 100, value));
    EXPECT_EQ(value, kHangul);
    ASSERT_TRUE(document->ParseText(text, error)) << error.text;
    ASSERT_TRUE(document->Text(document->DocumentElement(), 100, value));
    EXPECT_EQ(value, kHangul);
    // The same UTF-8 given as the file's bytes is not euc-kr.
    EXPECT_FALSE(document->ParseBytes(text, error) &&
                 document->Text(document->DocumentElement(), 100, value) && value == kHangul);
}

// An encoding the table of encoding names lacks is still read, through iconv by its own name,
// and a loaded document keeps the name its declaration gives.
TEST(XmlEncoding, NamesBeyondTheTableAreReadByTheirOwnNames) {
    auto document = Document::Create();
    ParseError error;
    std::string value;
    ASSERT_TRUE(document->ParseBytes(
        "<?xml version=\"1.0\" encoding=\"iso-8859-5\"?><a>\xB0</a>", error));
    ASSERT_TRUE(document->Text(document->DocumentElement(), 100, value));
    EXPECT_EQ(value, "\xD0\x90");  // U+0410
    ASSERT_TRUE(document->ParseBytes(
        "<?xml version=\"1.0\" encoding=\"EUC-JP\"?><a>\xA4\xA2</a>", error));
    ASSERT_TRUE(document->Text(document->DocumentElement(), 100, value));
    EXPECT_EQ(value, "\xE3\x81\x82");  // U+3042
    ASSERT_TRUE(document->ParseBytes(
        "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?><a>\x5C</a>", error));
    SerializedDocument serialized;
    ASSERT_TRUE(document->Serialize(serialized));
    EXPECT_EQ(serialized.encoding, "Shift_JIS");
}

}  // namespace
}  // namespace korvane::xml
