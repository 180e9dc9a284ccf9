// A setup file that names its schema for editors, with xsi:noNamespaceSchemaLocation on the root
// and the namespace declaration that the attribute needs, loads as the same file without them,
// and a save, which writes only what the description holds, leaves them out.
#include <gtest/gtest.h>

#include <string>

#include "describe_setup.h"
#include "model/setup_document.h"
#include "scratch_directory.h"
#include "setup_file_io.h"

namespace {

using korvane::model::SetupDocument;
using korvane::testing::DescribeSetup;
using korvane::testing::ScratchDirectory;

constexpr const char* kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
constexpr const char* kSchemaNamed =
    "<SETUP xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"\n"
    "       xsi:noNamespaceSchemaLocation=\"setup.xsd\">\n";
constexpr const char* kSections =
    "  <RESERVE><WORD><SHORT>[APPDIR]</SHORT><MEAN>Application folder</MEAN></WORD></RESERVE>\n"
    "  <CONFIG><PRODUCT>Sample</PRODUCT></CONFIG>\n"
    "  <FILES><FILE><SRCPATH>bin\\app.exe</SRCPATH><FILENAME>app.exe</FILENAME>"
    "<FOLDER>[APPDIR]</FOLDER><VERSION>1.0</VERSION><TARGETOS>ALL</TARGETOS>"
    "<SHORTCUT>DESKTOP</SHORTCUT><DISPLAYNAME>App</DISPLAYNAME><ICONINDEX>-1</ICONINDEX>"
    "<SELFREG>1</SELFREG><REALTIME>0</REALTIME><REBOOT>1</REBOOT><OVERWRITE>2</OVERWRITE>"
    "<FILESIZE>40960</FILESIZE></FILE></FILES>\n"
    "  <REGISTRYS><REGISTRY><REGPATH>Software\\Sample</REGPATH><TYPE>1</TYPE><KEY>Path</KEY>"
    "<VALUE>[APPDIR]</VALUE><ACTION>0</ACTION></REGISTRY></REGISTRYS>\n"
    "  <PREKILLS><PREKILL><CLASS>SampleWindow</CLASS><TITLE>Sample</TITLE></PREKILL></PREKILLS>\n"
    "  <POSTEXECUTE><COMMAND>[APPDIR]app.exe /first</COMMAND></POSTEXECUTE>\n"
    "</SETUP>\n";

TEST(SchemaLocation, ANamedSchemaLoadsAsWithoutItAndASaveLeavesItOut) {
    ScratchDirectory directory;
    SetupDocument plain, named;
    ASSERT_EQ(LoadFile(plain, directory.Write("plain.xml",
                                              std::string(kDeclaration) + "<SETUP>\n" + kSections)),
              1);
    ASSERT_EQ(LoadFile(named, directory.Write("named.xml", std::string(kDeclaration) +
                                                               kSchemaNamed + kSections)),
              1);
    EXPECT_EQ(plain.Files().size(), 1u);
    EXPECT_EQ(DescribeSetup(named), DescribeSetup(plain));

    ASSERT_EQ(SaveFile(named, "named-saved.xml"), 1);
    ASSERT_EQ(SaveFile(plain, "plain-saved.xml"), 1);
    const std::string saved = directory.Read("named-saved.xml");
    EXPECT_EQ(saved.find("noNamespaceSchemaLocation"), std::string::npos) << saved;
    EXPECT_EQ(saved.find("xmlns"), std::string::npos) << saved;
    EXPECT_EQ(saved, directory.Read("plain-saved.xml"));
}

}  // namespace
