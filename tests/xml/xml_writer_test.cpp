// The library's own writer of markup: whatever a text holds, a parser reads back exactly it.
#include <gtest/gtest.h>

#include <string>

#include "xml/dom.h"
#include "xml/xml_writer.h"

namespace korvane::xml {
namespace {

TEST(XmlWriter, TextsAndCDataSectionsComeBackThroughAParser) {
    for (const std::string text : {"a\rb", "\r\n", "]]>", "a]]>b]]", "x]]\r>y", "<&>\"'\t\n", ""}) {
        XmlWriter writer;
        writer.StartElement("r");
        writer.Text(text);
        writer.Comment("c");
        writer.CData(text);
        writer.EndElement();
        const std::string markup = writer.Take();
        EXPECT_EQ(markup.find('\r'), std::string::npos) << markup;

        auto document = Document::Create();
        ParseError error;
        ASSERT_TRUE(document->ParseText(markup, error)) << markup << ": " << error.text;
        std::string read;
        ASSERT_TRUE(document->Text(document->DocumentElement(), 1000, read));
        EXPECT_EQ(read, text + text) << markup;
    }
}

}  // namespace
}  // namespace korvane::xml
