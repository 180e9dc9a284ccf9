// Feeds arbitrary bytes to the load path, as LoadSetupFile hands a file's bytes to it, once with
// the events straight from the parser and once from a walk of the parsed tree: the two must load
// the same description, fail the same way, and hand out the same events.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "model/setup_document.h"
#include "platform/code_page.h"
#include "recorded_events.h"
#include "setup_differences.h"
#include "setupfile/setup_file.h"
#include "xml/xml_events.h"

namespace {

using korvane::model::CommandKind;
using korvane::model::SetupDocument;
using korvane::setupfile::LoadResult;
using korvane::testing::RecordedEvent;
using korvane::testing::RecordedEvents;
using korvane::xml::EventSource;

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "%s\n", what.c_str());
    std::abort();
}

const char* NameOf(EventSource source) {
    return source == EventSource::Stream ? "stream" : "tree";
}

// Loads `bytes` through `source` into a description that already holds one command, and checks
// what holds for any load.
LoadResult Load(std::string_view bytes, EventSource source, SetupDocument& setup) {
    setup.AddCommand(CommandKind::PreExecute, "before");
    const LoadResult result = korvane::setupfile::LoadSetupBytes(bytes, setup, source);
    // A failed load leaves the description as it was.
    if (!result && setup.Commands(CommandKind::PreExecute).size() != 1)
        Fail(std::string(NameOf(source)) + ": a failed load changed the description");
    // Whatever was read respects the widths of the records.
    for (const auto& entry : setup.Files()) {
        if (entry.SrcPath().size() >= korvane::model::kPathWidth) std::abort();
        if (entry.Shortcut().size() >= korvane::model::kShortcutWidth) std::abort();
    }
    for (const auto& word : setup.ReservedWords()) {
        if (word.first.size() > 255) std::abort();
    }
    return result;
}

std::string Describe(const LoadResult& result) {
    return "kind " + std::to_string(static_cast<int>(result.kind)) + " code " +
           std::to_string(result.code) + " at " + std::to_string(result.line) + ":" +
           std::to_string(result.column) + " (" + result.text + ")";
}

void CompareLoads(std::string_view bytes) {
    SetupDocument streamed, walked;
    const LoadResult stream = Load(bytes, EventSource::Stream, streamed);
    const LoadResult tree = Load(bytes, EventSource::Tree, walked);
    const bool sameFailure = stream.code == tree.code && stream.line == tree.line &&
                             stream.column == tree.column && stream.text == tree.text;
    if (stream.kind != tree.kind || !sameFailure)
        Fail("loads differ: stream " + Describe(stream) + ", tree " + Describe(tree));
    if (!stream) return;
    const std::string difference = korvane::testing::SetupDifferences::Between(streamed, walked);
    if (!difference.empty()) Fail("descriptions differ (stream / tree): " + difference);
}

void CompareEvents(std::string_view bytes) {
    RecordedEvents stream, tree;
    korvane::xml::ParseError streamError, treeError;
    const bool streamRead =
        korvane::xml::ReadXmlEvents(bytes, stream, streamError, EventSource::Stream);
    const bool treeRead = korvane::xml::ReadXmlEvents(bytes, tree, treeError, EventSource::Tree);
    if (streamRead != treeRead) Fail("one source read the document, the other did not");
    // Events handed out before a failure describe no document.
    if (!streamRead) return;
    const std::size_t at = korvane::testing::FirstDifference(stream.events(), tree.events());
    if (at != std::string::npos) {
        const auto describe = [at](const std::vector<RecordedEvent>& events) {
            return at < events.size() ? korvane::testing::Describe(events[at]) : "(none)";
        };
        Fail("events differ at " + std::to_string(at) + ": stream " + describe(stream.events()) +
             ", tree " + describe(tree.events()));
    }
    const std::string problem = korvane::testing::ShapeProblem(stream.events());
    if (!problem.empty()) Fail(problem);
}

}  // namespace

// Texts are held in code page 949, whatever the machine's locale: a double-byte code page that
// lacks many characters, so that cuts fall inside characters and loads keep the file's texts.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    korvane::platform::SelectCodePageForTesting(korvane::platform::kCodePageKorean);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    CompareLoads(bytes);
    CompareEvents(bytes);
    return 0;
}
