// Loading hostile files: nothing outside the file is read, and entity expansion is bounded.
#include <gtest/gtest.h>

#include <string>

#include "dom_backend.h"
#include "model/setup_document.h"
#include "scratch_directory.h"
#include "setup_file_io.h"

namespace korvane::xml {
namespace {

using model::SetupDocument;
using testing::kLoadsDocumentTypes;
using testing::ScratchDirectory;

// Loads `path` into a description holding one command; on a backend that refuses documents
// with a document type declaration, checks that this one was refused and left the command.
// True when the load went ahead.
bool LoadsDocumentType(SetupDocument& setup, const char* path) {
    if (kLoadsDocumentTypes) return true;
    setup.AddCommand(model::CommandKind::PostExecute, "kept");
    const setupfile::LoadResult result = setupfile::LoadSetupFile(path, setup);
    EXPECT_EQ(result.kind, setupfile::LoadResult::Kind::Refused) << result.text;
    EXPECT_EQ(setup.Commands(model::CommandKind::PostExecute).size(), 1u);
    return false;
}

const char* const kSecret = "SECRET-CONTENT";

TEST(LoadSafety, ExternalEntitiesAndDtdsAreNeverRead) {
    ScratchDirectory directory(false);
    const std::string secret = directory.Write("secret.txt", kSecret);
    directory.Write("secret.dtd", std::string("<!ENTITY fromdtd \"") + kSecret + "\">");
    const std::string entity = R"(<?xml version="1.0"?>
<!DOCTYPE SETUP [<!ENTITY file SYSTEM "file://)" +
                               secret + R"(">]>
<SETUP><CONFIG><F>before&file;after</F></CONFIG></SETUP>)";
    directory.Write("entity.xml", entity);
    directory.Write("dtd.xml", R"(<?xml version="1.0"?>
<!DOCTYPE SETUP SYSTEM "secret.dtd">
<SETUP><CONFIG><F>before&fromdtd;after</F></CONFIG></SETUP>)");

    for (const char* file : {"entity.xml", "dtd.xml"}) {
        SCOPED_TRACE(file);
        SetupDocument setup;
        if (!LoadsDocumentType(setup, file)) continue;
        ASSERT_EQ(LoadFile(setup, file), 1);
        // The reference stays, empty: the text around it is all there is.
        EXPECT_EQ(setup.ElementFields().at("F"), "beforeafter");
    }
}

TEST(LoadSafety, EntityLoopIsRejected) {
    ScratchDirectory directory(false);
    directory.Write("loop.xml", R"(<?xml version="1.0"?>
<!DOCTYPE SETUP [<!ENTITY a "&b;"><!ENTITY b "&a;">]>
<SETUP><CONFIG><F>&a;</F></CONFIG></SETUP>)");
    SetupDocument setup;
    EXPECT_EQ(LoadFile(setup, "loop.xml"), 0);
}

TEST(LoadSafety, QuadraticBlowupYieldsAtMostWhatTheReaderKeeps) {
    ScratchDirectory directory(false);
    std::string xml = "<?xml version=\"1.0\"?>\n<!DOCTYPE SETUP [<!ENTITY big \"" +
                      std::string(100 * 1024, 'x') + "\">]>\n<SETUP><CONFIG><F>";
    for (int i = 0; i < 20000; ++i) xml += "&big;";
    xml += "</F></CONFIG><PREEXECUTE><COMMAND>&big;&big;</COMMAND></PREEXECUTE></SETUP>";
    directory.Write("blowup.xml", xml);
    SetupDocument setup;
    if (!LoadsDocumentType(setup, "blowup.xml")) return;
    // The text is taken only as far as the reader keeps it, not the 2 GB it would expand to.
    ASSERT_EQ(LoadFile(setup, "blowup.xml"), 1);
    EXPECT_EQ(setup.ElementFields().at("F"), std::string(1023, 'x'));
    EXPECT_EQ(setup.Commands(model::CommandKind::PreExecute)[0], std::string(2047, 'x'));
}

TEST(LoadSafety, ManyEntityNodesExhaustTheBudgetInsteadOfRunningOn) {
    ScratchDirectory directory(false);
    // Each reference expands to 10,000 empty elements; every value walks them all.
    std::string elements;
    for (int i = 0; i < 10000; ++i) elements += "<e/>";
    std::string xml = "<?xml version=\"1.0\"?>\n<!DOCTYPE SETUP [<!ENTITY many \"" + elements +
                      "\">]>\n<SETUP><PREEXECUTE>";
    for (int i = 0; i < 5000; ++i) xml += "<COMMAND>&many;</COMMAND>";
    xml += "</PREEXECUTE></SETUP>";
    directory.Write("nodes.xml", xml);
    SetupDocument setup;
    if (!LoadsDocumentType(setup, "nodes.xml")) return;
    setup.AddCommand(model::CommandKind::PostExecute, "kept");
    // 50 million nodes to walk: refused, and the description is left as it was.
    EXPECT_EQ(setupfile::LoadSetupFile("nodes.xml", setup).kind,
              setupfile::LoadResult::Kind::ExpandsBeyond);
    EXPECT_EQ(setup.Commands(model::CommandKind::PostExecute).size(), 1u);
}

}  // namespace
}  // namespace korvane::xml
