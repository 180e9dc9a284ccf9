// A save whose stylesheet reaches for other files fails on every build, however the stylesheet
// spells it: the target keeps its content, and no file is read into it or written beside it.
#include <gtest/gtest.h>

#include <string>

#include "model/setup_document.h"
#include "scratch_directory.h"
#include "setup_file_io.h"

namespace korvane::xml {
namespace {

using testing::ScratchDirectory;

const char* const kPrevious = "previous contents\n";

std::string Sheet(const std::string& body, const std::string& declarations = "") {
    return "<xsl:stylesheet version='1.0' xmlns:xsl='http://www.w3.org/1999/XSL/Transform'" +
           declarations + ">" + body + "</xsl:stylesheet>";
}

// Copies the description and adds `extra` inside its root element.
std::string Copying(const std::string& extra) {
    return Sheet("<xsl:template match='/SETUP'><SETUP><xsl:copy-of select='node()'/>" + extra +
                 "</SETUP></xsl:template>");
}

TEST(SaveConfinement, StylesheetsThatReachOutsideFail) {
    ScratchDirectory directory;
    model::SetupDocument setup;
    setup.AddElementField("NAME", "saved");
    const std::string folder = directory.path().generic_string() + "/";
    directory.Write("secret.xml", "<secret>swordfish</secret>");
    directory.Write("reader.xsl",
                    Copying("<xsl:copy-of select=\"document('" + folder + "secret.xml')\"/>"));

    const std::string stylesheets[] = {
        Copying("<xsl:copy-of select=\"document ('secret.xml')\"/>"),
        Copying("<xsl:copy-of select=\"document\t\n('" + folder + "secret.xml')\"/>"),
        Copying("<KEY v=\"{document ('" + folder + "secret.xml')}\"/>"),
        // An imported stylesheet that reads the file, named by its absolute path.
        Sheet("<xsl:import href='" + folder + "reader.xsl'/>"),
        // Elements that write a file.
        Copying("<xsl:document href='written.xml'><x/></xsl:document>"),
        Sheet("<xsl:template match='/'><xt:document href='written.xml'><x/></xt:document>"
              "<xsl:copy-of select='.'/></xsl:template>",
              " xmlns:xt='http://www.jclark.com/xt' extension-element-prefixes='xt'"),
    };
    for (const std::string& stylesheet : stylesheets) {
        directory.Write("indent.xsl", stylesheet);
        directory.Write("setup.xml", kPrevious);
        EXPECT_EQ(SaveFile(setup, "setup.xml"), 0) << stylesheet;
        EXPECT_EQ(directory.Read("setup.xml"), kPrevious) << stylesheet;
        EXPECT_EQ(directory.Listing(), "reader.xsl secret.xml setup.xml ") << stylesheet;
    }
}

}  // namespace
}  // namespace korvane::xml
