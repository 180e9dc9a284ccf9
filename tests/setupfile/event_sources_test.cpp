// The two ways a load reads a document, straight from the parser and from a walk of the parsed
// tree, give the same description and the same events, over every seed of the load fuzzer (which
// covers each section and each rule of the reader).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "model/setup_document.h"
#include "recorded_events.h"
#include "scoped_code_page.h"
#include "setup_differences.h"
#include "setupfile/setup_file.h"
#include "xml/xml_events.h"

namespace korvane::setupfile {
namespace {

using testing::RecordedEvents;
using xml::EventSource;

std::vector<std::filesystem::path> Seeds() {
    std::vector<std::filesystem::path> seeds;
    for (const auto& entry : std::filesystem::directory_iterator(KORVANE_LOAD_SEEDS))
        seeds.push_back(entry.path());
    return seeds;
}

std::string Bytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(EventSources, LoadTheSameDescriptionAndFailTheSameWay) {
    // A double-byte code page lacking many characters: cuts fall inside characters, and loads
    // keep the file's own texts.
    const testing::ScopedCodePage codePage(platform::kCodePageKorean);
    const std::vector<std::filesystem::path> seeds = Seeds();
    ASSERT_GE(seeds.size(), 50u);
    std::size_t loaded = 0;
    for (const std::filesystem::path& seed : seeds) {
        SCOPED_TRACE(seed.filename().string());
        const std::string bytes = Bytes(seed);
        model::SetupDocument streamed, walked;
        const LoadResult stream = LoadSetupBytes(bytes, streamed, EventSource::Stream);
        const LoadResult tree = LoadSetupBytes(bytes, walked, EventSource::Tree);
        EXPECT_EQ(stream.kind, tree.kind) << stream.text << " / " << tree.text;
        EXPECT_EQ(stream.code, tree.code) << stream.text << " / " << tree.text;
        EXPECT_EQ(stream.line, tree.line);
        EXPECT_EQ(stream.column, tree.column);
        if (!stream || !tree) continue;
        ++loaded;
        EXPECT_EQ(testing::SetupDifferences::Between(streamed, walked), "");
    }
    // Most seeds are files that load.
    EXPECT_GE(loaded, seeds.size() / 2);
}

TEST(EventSources, HandOutTheSameEventsWithoutLayout) {
    for (const std::filesystem::path& seed : Seeds()) {
        SCOPED_TRACE(seed.filename().string());
        const std::string bytes = Bytes(seed);
        RecordedEvents stream, tree;
        xml::ParseError streamError, treeError;
        const bool streamRead = xml::ReadXmlEvents(bytes, stream, streamError, EventSource::Stream);
        const bool treeRead = xml::ReadXmlEvents(bytes, tree, treeError, EventSource::Tree);
        ASSERT_EQ(streamRead, treeRead);
        if (!streamRead) continue;
        EXPECT_EQ(testing::ShapeProblem(stream.events()), "");
        const std::size_t at = testing::FirstDifference(stream.events(), tree.events());
        if (at == std::string::npos) continue;
        ADD_FAILURE() << "event " << at << ": stream "
                      << (at < stream.events().size() ? Describe(stream.events()[at]) : "(none)")
                      << ", tree "
                      << (at < tree.events().size() ? Describe(tree.events()[at]) : "(none)");
    }
}

}  // namespace
}  // namespace korvane::setupfile

namespace korvane::setupfile {
namespace {

// Documents that only a tree once set apart: libxml2's tree builder registers xml:id values
// and interns blank texts in the name dictionary that the load bounds, and joins adjacent CDATA
// sections into one node. Each must end the same way on both paths.
TEST(EventSources, AgreeWhereOnlyATreeUsedToFail) {
    std::string ids = "<SETUP>";
    for (int i = 0; i < 40000; ++i) ids += "<a xml:id=\"i" + std::to_string(i) + "\"/>";
    ids += "</SETUP>";
    std::string blanks = "<SETUP>";
    for (int i = 0; i < 40000; ++i) {
        std::string blank(16, ' ');
        for (int bit = 0; bit < 16; ++bit) blank[bit] = (i >> bit) & 1 ? '\t' : ' ';
        blanks += "<a>" + blank + "<b/></a>";
    }
    blanks += "</SETUP>";
    const std::string halfCData = "<![CDATA[" + std::string(5000001, 'x') + "]]>";
    const std::string cdata =
        "<SETUP><CONFIG><A>" + halfCData + halfCData + "</A></CONFIG></SETUP>";
    const std::string duplicateId =
        "<SETUP xml:id=\"x\"><CONFIG xml:id=\"x\"><A>1</A></CONFIG></SETUP";
    for (const std::string* bytes :
         std::vector<const std::string*>{&ids, &blanks, &cdata, &duplicateId}) {
        model::SetupDocument streamed, walked;
        const LoadResult stream = LoadSetupBytes(*bytes, streamed, EventSource::Stream);
        const LoadResult tree = LoadSetupBytes(*bytes, walked, EventSource::Tree);
        EXPECT_EQ(stream.kind, tree.kind)
            << bytes->substr(0, 40) << ": " << stream.text << " / " << tree.text;
        EXPECT_EQ(stream.code, tree.code) << bytes->substr(0, 40);
    }
}

}  // namespace
}  // namespace korvane::setupfile
