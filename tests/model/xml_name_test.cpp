#include "xml/xml_name.h"

#include <gtest/gtest.h>

namespace korvane::xml {
namespace {

TEST(IsElementName, AcceptsXmlNamesWithoutColon) {
    for (const char16_t* name : {u"NAME", u"_x", u"a-b.1", u"\uC774\uB984", u"\u00C0\u00B7",
                                 u"x\U0001F600"}) {
        EXPECT_TRUE(IsElementName(name)) << "name #" << name[0];
    }
}

TEST(IsElementName, RefusesWhatCannotBeAnElementName) {
    for (const char16_t* name : {u"", u"1bad", u"a b", u"a:b", u"-x", u".x", u"a<b", u"x\u00D7"}) {
        EXPECT_FALSE(IsElementName(name)) << "name #" << name[0];
    }
    // Unpaired surrogates are no characters at all.
    const char16_t loneHigh[] = {0xD800, u'x', 0};
    const char16_t loneLow[] = {u'x', 0xDC00, 0};
    EXPECT_FALSE(IsElementName(loneHigh));
    EXPECT_FALSE(IsElementName(loneLow));
}

}  // namespace
}  // namespace korvane::xml
