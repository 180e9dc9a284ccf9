#include "xml/xml_declaration.h"

#include <gtest/gtest.h>

namespace korvane::xml {
namespace {

TEST(XmlDeclaration, PseudoAttributesAreWholeWordsWithQuotedValues) {
    EXPECT_EQ(PseudoAttributeValue("version=\"1.0\" encoding=\"euc-kr\"", "version"), "1.0");
    EXPECT_EQ(PseudoAttributeValue("version=\"1.0\" encoding=\"euc-kr\"", "encoding"), "euc-kr");
    EXPECT_EQ(PseudoAttributeValue("<?xml version = '1.0'\tencoding\n=\n'UTF-8'?>", "encoding"),
              "UTF-8");
    // A name that only ends in the word, or a value without quotes, is no pseudo-attribute.
    EXPECT_EQ(PseudoAttributeValue("<?xml version=\"1.0\" xencoding=\"x\"?>", "encoding"), "");
    EXPECT_EQ(PseudoAttributeValue("<?xml version=\"1.0\" encoding=utf-8?>", "encoding"), "");
    EXPECT_EQ(PseudoAttributeValue("<?xml version=\"1.0\" encoding=\"open", "encoding"), "");

    const std::string_view text = "<?xml version=\"1.0\" encoding=\"euc-kr\"?>";
    const auto span = FindPseudoAttribute(text, "encoding");
    ASSERT_TRUE(span);
    EXPECT_EQ(text.substr(span->name, 8), "encoding");
    EXPECT_EQ(text.substr(span->valueBegin, span->valueEnd - span->valueBegin), "euc-kr");
    EXPECT_EQ(text[span->valueEnd], '"');
}

}  // namespace
}  // namespace korvane::xml
