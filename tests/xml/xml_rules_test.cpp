#include "xml/xml_rules.h"

#include <gtest/gtest.h>

namespace korvane::xml {
namespace {

TEST(IsElementName, AcceptsXmlNamesWithoutColon) {
    for (const char* name : {"NAME", "_x", "a-b.1", "\xEC\x9D\xB4\xEB\xA6\x84" /* Korean */,
                             "\xC3\x80\xC2\xB7", "x\xF0\x9F\x98\x80"}) {
        EXPECT_TRUE(IsElementName(name)) << name;
    }
}

TEST(IsElementName, RefusesWhatCannotBeAnElementName) {
    for (const char* name : {"", "1bad", "a b", "a:b", "-x", ".x", "a<b", "x\xC3\x97" /* U+00D7 */,
                             "x\xFF", "\xEC\x9D", "\xED\xA0\x80" /* a surrogate */}) {
        EXPECT_FALSE(IsElementName(name)) << name;
    }
}

}  // namespace
}  // namespace korvane::xml

namespace korvane::xml {
namespace {

TEST(IsXmlText, RefusesCharactersXmlCannotCarry) {
    EXPECT_TRUE(IsXmlText(""));
    EXPECT_TRUE(IsXmlText("tab\tline\nreturn\r \xEC\x9D\xB4 \xF0\x9F\x98\x80 \xEF\xBF\xBD"));
    for (const char* text : {"\x01", "a\x1F", "\xEF\xBF\xBE" /* U+FFFE */, "\xEF\xBF\xBF", "\xFF",
                             "\xED\xA0\x80" /* surrogate */, "\xC3"}) {
        EXPECT_FALSE(IsXmlText(text)) << text;
    }
}

}  // namespace
}  // namespace korvane::xml
