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
