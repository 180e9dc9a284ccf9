// The check of a stylesheet's markup that keeps the Windows XML component from reading and
// writing files and running code during a save: what it finds however it is written, what it
// lets through, and the stylesheets that one imports.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "xml/stylesheet_confinement.h"

namespace korvane::xml {
namespace {

const std::string kXsl = "http://www.w3.org/1999/XSL/Transform";

std::string Sheet(const std::string& body, const std::string& declarations = "") {
    return "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"" + kXsl + "\"" + declarations + ">" +
           body + "</xsl:stylesheet>";
}

std::string Template(const std::string& body) {
    return Sheet("<xsl:template match=\"/\">" + body + "</xsl:template>");
}

// Stylesheets by path, for imports; `asked` records every path read.
struct Files {
    std::map<std::string, std::string> texts;
    std::vector<std::string> asked;
    StylesheetReader Reader() {
        return [this](const std::string& path, std::string& text) {
            asked.push_back(path);
            const auto found = texts.find(path);
            if (found == texts.end()) return false;
            text = found->second;
            return true;
        };
    }
};

bool Confined(const std::string& text) {
    return IsConfinedStylesheet(text, StylesheetReader());
}

TEST(StylesheetConfinement, FindsDocumentCallsHoweverTheyAreWritten) {
    const std::string calls[] = {
        "<xsl:copy-of select=\"document('x')\"/>",
        "<xsl:copy-of select=\"document ('x')\"/>",
        "<xsl:copy-of select=\"document\t('x')\"/>",
        "<xsl:copy-of select=\"document\n\n  ('x')\"/>",
        "<xsl:copy-of select=\"document&#10;('x')\"/>",
        "<xsl:copy-of select=\"docu&#109;ent&#x20;('x')\"/>",
        "<xsl:copy-of select='document(&quot;x&quot;)'/>",
        // A character beyond ASCII that a processor might take for a space.
        "<xsl:copy-of select=\"document\xC2\xA0('x')\"/>",
        // Inside other expressions, predicates and patterns.
        "<xsl:value-of select=\"1+document('x')\"/>",
        "<xsl:value-of select=\"concat('{', document('x'), '}')\"/>",
        "<xsl:value-of select=\"a[-document('x')]\"/>",
        "<xsl:if test=\"count(document('x'))\"><r/></xsl:if>",
        "<xsl:apply-templates select=\"/\" mode=\"m\"/><xsl:key name=\"k\" match=\"r\" "
        "use=\"document('x')\"/>",
        // Attribute value templates, of literal result elements and of XSLT elements.
        "<r a=\"{document('x')}\"/>",
        "<r a=\"it's {{ {document ('x')/s}\"/>",
        "<r a=\"{'}' }{ document('x') }\"/>",
        "<xsl:element name=\"{name(document('x'))}\"/>",
    };
    for (const std::string& call : calls) EXPECT_FALSE(Confined(Template(call))) << call;
    EXPECT_FALSE(Confined(Sheet("<xsl:template match=\"r[document('x')]\"/>")));
}

TEST(StylesheetConfinement, RefusesExtensionsScriptsAndWritingElements) {
    const std::string refused[] = {
        // Extension functions: they may read files or evaluate a text as an expression.
        Template("<xsl:copy-of select=\"m:node-set(.)\"/>"),
        Sheet("<xsl:template match=\"/\"><r a=\"{s:evaluate('1')}\"/></xsl:template>",
              " xmlns:s=\"http://icl.com/saxon\""),
        // Script blocks, whatever their prefix and however the namespace is cased.
        Sheet("<msxsl:script language=\"JScript\">1</msxsl:script>",
              " xmlns:msxsl=\"urn:schemas-microsoft-com:xslt\""),
        Sheet("<m:script>1</m:script>", " xmlns:m=\"URN:schemas-microsoft-com:xslt\""),
        Sheet("<r m:a=\"1\"/>", " xmlns:m=\"urn:schemas-microsoft-com:xslt\""),
        "<xsl:stylesheet xmlns:xsl=\"http://www.w3.org/TR/WD-xsl\"><xsl:template/>"
        "</xsl:stylesheet>",
        // Elements that write files: XSLT 1.1's, and extension elements of any namespace.
        Template("<xsl:document href=\"out.xml\"><r/></xsl:document><r/>"),
        "<x:stylesheet version=\"1.0\" xmlns:x=\"" + kXsl +
            "\"><x:template match=\"/\">"
            "<x:document href=\"out.xml\"/></x:template></x:stylesheet>",
        "<stylesheet version=\"1.0\" xmlns=\"" + kXsl +
            "\"><template match=\"/\">"
            "<document href=\"out.xml\"/></template></stylesheet>",
        Sheet("<xsl:template match=\"/\"><xt:document href=\"out.xml\"/></xsl:template>",
              " xmlns:xt=\"http://www.jclark.com/xt\" extension-element-prefixes=\"xt\""),
        Template("<r xsl:extension-element-prefixes=\"xt\" xmlns:xt=\"http://www.jclark.com/xt\">"
                 "<xt:document href=\"out.xml\"/></r>"),
        // What would make imports resolve elsewhere, or entities expand.
        Sheet("<xsl:template match=\"/\" xml:base=\"http://example.com/\"/>"),
        "<!DOCTYPE s [<!ENTITY e SYSTEM \"secret\">]>" + Template("<r>&e;</r>"),
    };
    for (const std::string& text : refused) EXPECT_FALSE(Confined(text)) << text;
}

TEST(StylesheetConfinement, LetsThroughWhatOnlyLooksLikeACall) {
    std::ifstream file(KORVANE_INDENT_XSL, std::ios::binary);
    std::ostringstream indent;
    indent << file.rdbuf();
    const std::string allowed[] = {
        indent.str(),
        // A comment, an instruction and text call nothing.
        Template("<!-- document('x') --><?pi document('x')?><r>document('x')</r>"),
        Template("<![CDATA[ document('x') ]]><r/>"),
        // Names and literals are not calls.
        Template("<xsl:value-of select=\"document | child::document/x\"/>"),
        Template("<xsl:value-of select=\"concat('document(x)', &quot;document (y)&quot;)\"/>"),
        Template("<xsl:apply-templates select=\"node() | text() | comment() | "
                 "processing-instruction('p')\"/><xsl:call-template name=\"document\"/>"),
        Template("<r a=\"document\" b=\"{@document}\"/>"),
        // A prefix that is bound to another namespace makes a literal result element.
        Sheet("<xsl:template match=\"/\"><o:document href=\"x\"/></xsl:template>",
              " xmlns:o=\"urn:other\""),
    };
    for (const std::string& text : allowed) EXPECT_TRUE(Confined(text)) << text;
}

TEST(StylesheetConfinement, ChecksEveryStylesheetImportedOrIncluded) {
    Files files;
    files.texts["identity.xsl"] = Template("<r/>");
    files.texts["sub/outer.xsl"] = Sheet("<xsl:include href=\"inner.xsl\"/>");
    files.texts["sub/inner.xsl"] = Template("<r a=\"{document ('x')}\"/>");
    files.texts["loop.xsl"] = Sheet("<xsl:import href=\"loop.xsl\"/>");

    EXPECT_TRUE(IsConfinedStylesheet(Sheet("<xsl:import href=\"identity.xsl\"/>"), files.Reader()));
    EXPECT_TRUE(IsConfinedStylesheet(Sheet("<xsl:include href='identity.xsl'/>"), files.Reader()));
    // Relative to the folder of the stylesheet that names it, as the processor resolves it.
    EXPECT_FALSE(
        IsConfinedStylesheet(Sheet("<xsl:import href=\"sub/outer.xsl\"/>"), files.Reader()));
    EXPECT_EQ(files.asked.back(), "sub/inner.xsl");
    EXPECT_FALSE(IsConfinedStylesheet(Sheet("<xsl:import href=\"missing.xsl\"/>"), files.Reader()));
    EXPECT_FALSE(IsConfinedStylesheet(Sheet("<xsl:import href=\"loop.xsl\"/>"), files.Reader()));
    EXPECT_FALSE(IsConfinedStylesheet(Sheet("<xsl:import/>"), files.Reader()));

    // Anything but a plain relative path is never read.
    files.asked.clear();
    for (const char* href :
         {"/etc/identity.xsl", "C:/identity.xsl", "file:///identity.xsl",
          "http://example.com/identity.xsl", "\\\\server\\identity.xsl", "sub\\identity.xsl",
          "%69dentity.xsl", "identity.xsl?x", "\xC3\xA9.xsl", ""}) {
        EXPECT_FALSE(IsConfinedStylesheet(Sheet("<xsl:import href=\"" + std::string(href) + "\"/>"),
                                          files.Reader()))
            << href;
    }
    EXPECT_TRUE(files.asked.empty());
    EXPECT_EQ(ImportedStylesheetPath("a/b/", "../c.xsl"), "a/b/../c.xsl");
}

}  // namespace
}  // namespace korvane::xml
