// The DOM backend over the Windows XML component: what it loads, refuses, builds and writes,
// and that it works from any thread.
#include <gtest/gtest.h>
#include <objbase.h>

#include <string>
#include <thread>
#include <vector>

#include "dom_documents.h"
#include "xml/dom.h"

namespace korvane::xml {
namespace {

using testing::ChildNames;
using testing::IndentStylesheet;
using testing::Parsed;
using testing::SavedBytes;
using testing::TextOf;

const std::string kHangul = "\xED\x95\x9C";     // U+D55C
const std::string kExtension = "\xEA\xB0\x82";  // U+AC02: not in EUC-KR proper

ParseError Refusal(const std::string& bytes) {
    auto document = Document::Create();
    ParseError error;
    EXPECT_FALSE(document->ParseBytes(bytes, error));
    return error;
}

TEST(WindowsDom, BuiltDocumentRoundTripsThroughIndentationAndEucKr) {
    auto built = Document::Create();
    ASSERT_NE(built, nullptr);
    ASSERT_TRUE(built->AppendProcessingInstruction("xml", "version=\"1.0\" encoding=\"euc-kr\""));
    const Node root = built->CreateElement("SETUP");
    const Node config = built->CreateElement("CONFIG");
    const Node blank = built->CreateElement("BLANK");
    const Node korean = built->CreateElement("KOREAN");
    const Node empty = built->CreateElement("EMPTY");
    for (const Node& child : {config}) ASSERT_TRUE(built->AppendChild(root, child));
    ASSERT_TRUE(built->AppendChild(config, blank));
    ASSERT_TRUE(built->AppendChild(config, korean));
    ASSERT_TRUE(built->AppendChild(config, empty));
    ASSERT_TRUE(built->AppendChild(blank, built->CreateTextNode(" ")));
    ASSERT_TRUE(built->AppendChild(
        korean, built->CreateTextNode(kHangul + kExtension + "\xC3\xA9 <&> \"'")));
    ASSERT_TRUE(built->AppendChild(Node(), root));

    const std::string bytes = SavedBytes(*built);
    EXPECT_EQ(bytes.rfind("<?xml version=\"1.0\" encoding=\"euc-kr\"?>", 0), 0u) << bytes;
    EXPECT_NE(bytes.find("\xC7\xD1&#44034;"), std::string::npos) << bytes;
    EXPECT_NE(bytes.find("\n"), std::string::npos) << "indented: " << bytes;

    auto loaded = Parsed(bytes);
    const Node loadedRoot = loaded->DocumentElement();
    ASSERT_EQ(ChildNames(*loaded, loadedRoot), std::vector<std::string>{"CONFIG"});
    const Node loadedConfig = loaded->FirstChild(loadedRoot);
    EXPECT_EQ(ChildNames(*loaded, loadedConfig),
              (std::vector<std::string>{"BLANK", "KOREAN", "EMPTY"}));
    const Node loadedBlank = loaded->FirstChild(loadedConfig);
    const Node loadedKorean = loaded->NextSibling(loadedBlank);
    EXPECT_EQ(TextOf(*loaded, loadedBlank), " ");
    EXPECT_EQ(TextOf(*loaded, loadedKorean), kHangul + kExtension + "\xC3\xA9 <&> \"'");
    EXPECT_EQ(TextOf(*loaded, loaded->NextSibling(loadedKorean)), "");
    // Cut at a whole character.
    EXPECT_EQ(TextOf(*loaded, loadedKorean, 5), kHangul);
}

TEST(WindowsDom, BlankTextBetweenNodesIsNotReported) {
    auto document = Parsed("<a>\r\n\t<b> </b>\r\n\t<!--c-->\n <c>\n </c> <d>x <e/> y</d></a>");
    const Node root = document->DocumentElement();
    EXPECT_EQ(ChildNames(*document, root), (std::vector<std::string>{"b", "#comment", "c", "d"}));
    const Node b = document->FirstChild(root);
    EXPECT_EQ(ChildNames(*document, b), std::vector<std::string>{"#text"});
    EXPECT_TRUE(document->IsElement(b));
    EXPECT_FALSE(document->IsElement(document->FirstChild(b)));
    EXPECT_TRUE(document->HasName(b, "b"));
    const Node c = document->NextSibling(document->NextSibling(b));
    EXPECT_EQ(TextOf(*document, c), "\n ");
    EXPECT_EQ(TextOf(*document, document->NextSibling(c)), "x  y");
    // The XML declaration is no node.
    document = Parsed("<?xml version=\"1.0\"?><?pi data?><a/>");
    EXPECT_EQ(document->NodeName(document->DocumentElement()), "a");
}

// The lines come from the scan of the parsed markup: once the tree has changed, they no
// longer pair with it, and no node gets another's line.
TEST(WindowsDom, ADocumentChangedBeforeItsLinesAreAskedForHasNone) {
    auto document = Parsed("<a>\n<!--c-->\n<b/></a>");
    const Node root = document->DocumentElement();
    ASSERT_TRUE(document->AppendChild(root, document->CreateTextNode("t")));
    for (Node child = document->FirstChild(root); child; child = document->NextSibling(child))
        EXPECT_EQ(document->LineOf(child), 0) << document->NodeName(child);
    // An instruction added at the top level, where the navigation cache stays, is noticed too.
    document = Parsed("<a>\n<b/></a>");
    ASSERT_TRUE(document->AppendProcessingInstruction("p", "d"));
    EXPECT_EQ(document->LineOf(document->FirstChild(document->DocumentElement())), 0);
    // Asked before the change, they stay.
    document = Parsed("<a>\n<b/></a>");
    const Node b = document->FirstChild(document->DocumentElement());
    EXPECT_EQ(document->LineOf(b), 2);
    ASSERT_TRUE(document->AppendProcessingInstruction("p", "d"));
    EXPECT_EQ(document->LineOf(b), 2);
}

TEST(WindowsDom, FilesInOtherEncodingsLoad) {
    auto document = Parsed("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?><a>\x83\x41</a>");
    EXPECT_EQ(TextOf(*document, document->DocumentElement()), "\xE3\x82\xA2");
    document = Parsed(std::string("\xFF\xFE<\0a\0>\0\x5C\xD5<\0/\0a\0>\0", 18));
    EXPECT_EQ(TextOf(*document, document->DocumentElement()), kHangul);
    // Text is UTF-8 whatever its declaration says.
    ParseError error;
    ASSERT_TRUE(document->ParseText(
        "<?xml version=\"1.0\" encoding=\"euc-kr\"?><a>" + kExtension + "</a>", error));
    EXPECT_EQ(TextOf(*document, document->DocumentElement()), kExtension);
    // Reading euc-kr accepts code page 949 as a whole.
    document = Parsed("<?xml version=\"1.0\" encoding=\"euc-kr\"?><a>\x81\x41</a>");
    EXPECT_EQ(TextOf(*document, document->DocumentElement()), kExtension);
    error = Refusal("<?xml version=\"1.0\" encoding=\"iso-2022-jp\"?><a/>");
    EXPECT_NE(error.text.find("iso-2022-jp"), std::string::npos);
    EXPECT_EQ(Refusal("<a>\xC3</a>").kind, ParseError::Kind::NotWellFormed);
    EXPECT_EQ(Refusal("<a><b></a>").kind, ParseError::Kind::NotWellFormed);
}

TEST(WindowsDom, HostileDocumentsAreRefusedBeforeTheComponentSeesThem) {
    std::string attributes;
    for (int i = 0; i < 257; ++i) attributes += " a" + std::to_string(i) + "=''";
    EXPECT_EQ(Refusal("<a" + attributes + "/>").kind, ParseError::Kind::Refused);
    EXPECT_EQ(Refusal(std::string("<a>\0</a>", 8)).kind, ParseError::Kind::Refused);
    std::string names = "<a>";
    for (int i = 0; i <= 10000; ++i) names += "<n" + std::to_string(i) + "/>";
    const ParseError tooMany = Refusal(names + "</a>");
    EXPECT_EQ(tooMany.kind, ParseError::Kind::Refused);
    EXPECT_NE(tooMany.text.find("names"), std::string::npos);
    // The same names inside a comment and a CDATA section count for nothing.
    Parsed("<a><!--" + names + "--><![CDATA[" + names + "]]></a>");
}

TEST(WindowsDom, DocumentTypesAreRefusedOnThisSystem) {
    // The component's entity expansion has no bound the library can set: even a harmless
    // internal subset is refused here (the libxml2 backend loads it, expansion bounded).
    const ParseError error =
        Refusal("<?xml version=\"1.0\"?>\n<!DOCTYPE a [<!ENTITY e \"x\">]>\n<a>&e;</a>");
    EXPECT_EQ(error.kind, ParseError::Kind::Refused);
    EXPECT_EQ(error.line, 2);
    Parsed("<a><!-- <!DOCTYPE a> --><![CDATA[<!DOCTYPE a>]]><b c='>'/></a>");
}

TEST(WindowsDom, TheLibraryDecidesNamesAndText) {
    auto document = Document::Create();
    for (const char* name : {"1bad", "a b", "<x>", "", "a:b"})
        EXPECT_FALSE(document->CreateElement(name)) << name;
    EXPECT_TRUE(document->CreateElement(kExtension));  // a UTF-8 document writes any name
    EXPECT_FALSE(document->CreateTextNode("a\x01"));
    EXPECT_FALSE(document->CreateTextNode("\xFF"));
    EXPECT_TRUE(document->CreateTextNode(""));
    ASSERT_TRUE(
        document->AppendProcessingInstruction("xml", "version=\"1.0\" encoding=\"euc-kr\""));
    EXPECT_FALSE(document->CreateElement(kExtension));
    EXPECT_TRUE(document->CreateElement(kHangul));
    EXPECT_FALSE(document->AppendProcessingInstruction("xml", "encoding=\"no-such-encoding\""));
    // A node is linked once, and only into an element or the document.
    const Node a = document->CreateElement("a");
    const Node text = document->CreateTextNode("t");
    ASSERT_TRUE(document->AppendChild(Node(), a));
    EXPECT_FALSE(document->AppendChild(Node(), a));
    EXPECT_FALSE(document->AppendChild(text, document->CreateElement("b")));
    auto other = Document::Create();
    EXPECT_FALSE(other->AppendChild(Node(), text));
}

TEST(WindowsDom, TransformsFollowTheStylesheetAndStayConfined) {
    // Parsed with a declaration, which the component keeps as a node a transform cannot copy.
    auto source = Parsed("<?xml version=\"1.0\"?><a><b>x</b></a>");
    auto result = Document::Create();
    auto stylesheet = Parsed(IndentStylesheet());
    ASSERT_TRUE(source->TransformInto(*stylesheet, *result));
    SerializedDocument serialized;
    ASSERT_TRUE(result->Serialize(serialized));
    EXPECT_EQ(serialized.encoding, "euc-kr");  // read from the stylesheet's output element

    const std::string head =
        "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\"";
    const auto transforms = [&](const std::string& text) {
        auto style = Parsed(text);
        auto into = Document::Create();
        return source->TransformInto(*style, *into);
    };
    EXPECT_TRUE(
        transforms(head + "><xsl:template match=\"/\"><r/></xsl:template></xsl:stylesheet>"));
    EXPECT_FALSE(transforms(head + "><xsl:output method=\"text\"/><xsl:template match=\"/\"><r/>"
                                   "</xsl:template></xsl:stylesheet>"));
    EXPECT_FALSE(transforms(head + "><xsl:template match=\"/\"><r/><r/></xsl:template>"
                                   "</xsl:stylesheet>"));
    EXPECT_FALSE(transforms(head + "><xsl:template match=\"/\"><r><xsl:copy-of "
                                   "select=\"document('secret.xml')\"/></r></xsl:template>"
                                   "</xsl:stylesheet>"));
    EXPECT_FALSE(transforms(head + " xmlns:msxsl=\"urn:schemas-microsoft-com:xslt\">"
                                   "<msxsl:script language=\"JScript\">1</msxsl:script>"
                                   "<xsl:template match=\"/\"><r/></xsl:template>"
                                   "</xsl:stylesheet>"));
}

// Loads and saves a document on the calling thread, as a load or save does.
bool UseDocumentHere() {
    auto document = Document::Create();
    ParseError error;
    SerializedDocument serialized;
    return document != nullptr && document->ParseBytes("<a>x</a>", error) &&
           document->Serialize(serialized);
}

TEST(WindowsDom, WorksOnAnyThreadAndLeavesTheCallersApartmentAlone) {
    bool fresh = false;
    std::thread([&] { fresh = UseDocumentHere(); }).join();
    EXPECT_TRUE(fresh);
    bool multithreaded = false, stillMultithreaded = false;
    std::thread([&] {
        if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) return;
        multithreaded = UseDocumentHere();
        // Still in its own multithreaded apartment: entering it again says so.
        const HRESULT again = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        stillMultithreaded = again == S_FALSE;
        if (SUCCEEDED(again)) CoUninitialize();
        CoUninitialize();
    }).join();
    EXPECT_TRUE(multithreaded);
    EXPECT_TRUE(stillMultithreaded);
}

}  // namespace
}  // namespace korvane::xml
