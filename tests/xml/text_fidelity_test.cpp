// Texts reach the file and come back exactly, on every DOM backend: carriage returns, markup
// characters and blanks, wherever they stand in a value.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "describe_setup.h"
#include "dom_documents.h"
#include "model/setup_document.h"
#include "scratch_directory.h"
#include "setup_file_io.h"
#include "xml/dom.h"

namespace korvane::xml {
namespace {

using testing::ChildNames;
using testing::IndentStylesheet;
using testing::Parsed;
using testing::SavedBytes;
using testing::TextOf;

std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t count = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++count;
    return count;
}

const std::vector<std::string> kTexts = {
    "a\rb", "a\r\nb", "\r", "\r\r\n\n", " \r ", "\t\r\n\tx", "<&>\"'", "]]>", "a\r]]>\rb", "",
};

TEST(TextFidelity, CarriageReturnsAreWrittenAsReferencesAndComeBack) {
    auto built = Document::Create();
    ASSERT_TRUE(built->AppendProcessingInstruction("xml", "version=\"1.0\" encoding=\"euc-kr\""));
    const Node root = built->CreateElement("SETUP");
    std::size_t carriageReturns = 0;
    for (const std::string& text : kTexts) {
        const Node value = built->CreateElement("V");
        ASSERT_TRUE(built->AppendChild(root, value));
        ASSERT_TRUE(built->AppendChild(value, built->CreateTextNode(text)));
        carriageReturns += Count(text, "\r");
    }
    ASSERT_TRUE(built->AppendChild(Node(), root));

    const std::string bytes = SavedBytes(*built);
    // Every CR is a reference: none is on disk as it stands, between elements either.
    EXPECT_EQ(bytes.find('\r'), std::string::npos) << bytes;
    EXPECT_EQ(Count(bytes, "&#13;"), carriageReturns) << bytes;
    EXPECT_NE(bytes.find("&lt;&amp;&gt;"), std::string::npos) << bytes;
    EXPECT_NE(bytes.find("\n"), std::string::npos) << "indented: " << bytes;

    auto loaded = Parsed(bytes);
    std::vector<std::string> texts;
    for (Node value = loaded->FirstChild(loaded->DocumentElement()); value;
         value = loaded->NextSibling(value))
        texts.push_back(TextOf(*loaded, value));
    EXPECT_EQ(texts, kTexts);
}

TEST(TextFidelity, AttributeValuesKeepLineEndsTabsAndMarkup) {
    auto source = Parsed("<a b=\"x&#13;&#10;&#9;&lt;&amp;&gt;&quot;'\"><c/></a>");
    const std::string bytes = SavedBytes(*source);
    EXPECT_NE(bytes.find("b=\"x&#13;&#10;&#9;&lt;&amp;&gt;&quot;'\""), std::string::npos) << bytes;
}

TEST(TextFidelity, SavedValuesComeBackWithTheirCarriageReturns) {
    testing::ScratchDirectory directory;
    model::SetupDocument saved;
    for (std::size_t i = 0; i < kTexts.size(); ++i)
        saved.AddElementField("F" + std::to_string(i), kTexts[i]);
    saved.AddCommand(model::CommandKind::PreExecute, "cmd /c \"a\r\nb\"");
    saved.AddPreKillProcess("\r", "Title\r\n<&>");
    ASSERT_EQ(SaveFile(saved, "setup.xml"), 1);
    const std::string bytes = directory.Read("setup.xml");
    EXPECT_EQ(bytes.find('\r'), std::string::npos) << bytes;

    model::SetupDocument loaded;
    ASSERT_EQ(LoadFile(loaded, "setup.xml"), 1);
    EXPECT_EQ(testing::DescribeSetup(loaded), testing::DescribeSetup(saved));
}

// Each file's first element and the value it reads as.
struct Case {
    std::string file;
    std::string value;
};

TEST(TextFidelity, BlanksInsideAValueArePartOfIt) {
    const std::vector<Case> cases = {
        // Line ends in the file read as LF; references keep the CR.
        {"<A> \r\nx</A>", " \nx"},
        {"<A>\t\r\n\tx</A>", "\t\n\tx"},
        {"<A> \rx</A>", " \nx"},
        {"<A>x \n</A>", "x \n"},
        {"<A>x\r\n </A>", "x\n "},
        {"<A> &#13;x</A>", " \rx"},
        {"<A>x&#13;\n </A>", "x\r\n "},
        {"<A>&#13;</A>", "\r"},
        {"<A> &#13; </A>", " \r "},
        // Split by a comment or a CDATA section, every piece counts.
        {"<A> <!--c-->x</A>", " x"},
        {"<A>x<!--c--> </A>", "x "},
        {"<V>\n <!--c-->\n</V>", "\n \n"},
        {"<A>&#13;<!--c-->\r\n</A>", "\r\n"},
        {"<A> <![CDATA[x]]> </A>", " x "},
        {"<A><![CDATA[ ]]>\r\n</A>", " \n"},
        {"<A> <?pi?>&#13;\n<![CDATA[\t]]></A>", " \r\n\t"},
    };
    for (const Case& c : cases) {
        auto document = Parsed(c.file);
        EXPECT_EQ(TextOf(*document, document->DocumentElement()), c.value) << c.file;
    }
}

TEST(TextFidelity, BlankTextBesideAnElementIsLayout) {
    auto document =
        Parsed("<R>\r\n <A> x </A>\r\n <!--c-->\r\n <B/>\n <?pi?> <C>\n <!--c--> </C></R>");
    const Node root = document->DocumentElement();
    EXPECT_EQ(ChildNames(*document, root),
              (std::vector<std::string>{"A", "#comment", "B", "pi", "C"}));
    // The layout around A and B is no part of the root's text; C holds no element.
    EXPECT_EQ(TextOf(*document, root), " x \n  ");
    // Text beside an element is kept when it is more than blanks, wherever the blanks stand.
    const std::vector<Case> cases = {
        {"<d>x <e/> y<f> </f> </d>", "x  y "},
        {"<d><e/> \r\n y</d>", " \n y"},
        {"<d><e/>\r\n&amp;\r\n</d>", "\n&\n"},
        {"<d><e/> &#13; <f/>\t</d>", ""},
    };
    for (const Case& c : cases) {
        document = Parsed(c.file);
        EXPECT_EQ(TextOf(*document, document->DocumentElement()), c.value) << c.file;
    }
}

}  // namespace
}  // namespace korvane::xml
