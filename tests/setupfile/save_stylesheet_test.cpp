// What the stylesheet in the working folder may do in a save: its output must be an XML
// document that loads back, it may import and include other stylesheets, and it may read no
// other file.
#include <gtest/gtest.h>

#include <string>

#include "describe_setup.h"
#include "model/setup_document.h"
#include "scratch_directory.h"
#include "setup_file_io.h"

namespace korvane::xml {
namespace {

using model::SetupDocument;
using testing::DescribeSetup;
using testing::ScratchDirectory;

const char* const kPrevious = "previous contents\n";

// A stylesheet whose top level is `body`.
std::string Stylesheet(const std::string& body) {
    return "<xsl:stylesheet version='1.0' xmlns:xsl='http://www.w3.org/1999/XSL/Transform'>" +
           body + "</xsl:stylesheet>";
}

const char* const kIdentity =
    "<xsl:template match='@*|node()'><xsl:copy><xsl:apply-templates "
    "select='@*|node()'/></xsl:copy></xsl:template>";

class SaveStylesheet : public ::testing::Test {
  protected:
    SaveStylesheet() { setup_.AddElementField("NAME", "saved"); }

    // Saves with `stylesheet` as indent.xsl; the result, with the target checked to be
    // unchanged when the save failed.
    int SaveWith(const std::string& stylesheet) {
        directory_.Write("indent.xsl", stylesheet);
        directory_.Write("setup.xml", kPrevious);
        const int result = SaveFile(setup_, "setup.xml");
        if (result == 0) {
            EXPECT_EQ(directory_.Read("setup.xml"), kPrevious);
        }
        return result;
    }

    ScratchDirectory directory_;
    SetupDocument setup_;
};

TEST_F(SaveStylesheet, OutputThatCannotBeLoadedBackFails) {
    const std::string outputs[] = {
        Stylesheet("<xsl:template match='/'><a/><b/></xsl:template>"),
        Stylesheet("<xsl:template match='/'>text<a/></xsl:template>"),
        Stylesheet("<xsl:output method='text'/><xsl:template match='/'><a/></xsl:template>"),
        Stylesheet("<xsl:output method='html'/><xsl:template match='/'><a/></xsl:template>"),
        // Without an output element, a root named html makes an HTML document.
        Stylesheet("<xsl:template match='/'><html/></xsl:template>"),
    };
    for (const std::string& stylesheet : outputs) {
        EXPECT_EQ(SaveWith(stylesheet), 0) << stylesheet;
    }

    // The output method can come from an imported stylesheet as well.
    directory_.Write("text-output.xsl", Stylesheet("<xsl:output method='text'/>"));
    EXPECT_EQ(SaveWith(Stylesheet("<xsl:import href='text-output.xsl'/>") + kIdentity), 0);
    EXPECT_EQ(directory_.Listing(), "setup.xml text-output.xsl ");
}

TEST_F(SaveStylesheet, ImportAndIncludeWork) {
    directory_.Write("identity.xsl", Stylesheet(kIdentity));
    directory_.Write("output.xsl", Stylesheet("<xsl:output method='xml' indent='yes'/>"));
    for (const char* top : {"<xsl:import href='identity.xsl'/><xsl:include href='output.xsl'/>",
                            "<xsl:include href='identity.xsl'/>"}) {
        ASSERT_EQ(SaveWith(Stylesheet(top)), 1) << top;
        SetupDocument loaded;
        ASSERT_EQ(LoadFile(loaded, "setup.xml"), 1);
        EXPECT_EQ(DescribeSetup(loaded), DescribeSetup(setup_));
    }
}

TEST_F(SaveStylesheet, DocumentReadsAreRefused) {
    directory_.Write("secret.xml", "<secret>swordfish</secret>");
    EXPECT_EQ(SaveWith(Stylesheet("<xsl:template match='/'><SETUP><NAME><xsl:value-of "
                                  "select=\"document('secret.xml')\"/></NAME></SETUP>"
                                  "</xsl:template>")),
              0);
}

}  // namespace
}  // namespace korvane::xml
