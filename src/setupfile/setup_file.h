// Loading and saving setup files: the file's bytes into a fresh DOM document and through the
// reader into the description; the description through the writer into a document, by way of
// the scratch file and the pretty-printing stylesheet, into the file (or, for the stylesheet the
// library ships, straight from the description into the file). Every outcome is a
// structured result that says what failed, where and why.
#pragma once

#include <string>
#include <string_view>

#include "model/setup_document.h"
#include "xml/xml_events.h"

namespace korvane::setupfile {

// Relative names: files in the current directory at the time of the save. Each save's scratch
// file is named "temp-", eight random letters and digits, and ".xml".
inline constexpr const char* kScratchFilePrefix = "temp-";
inline constexpr const char* kScratchFileSuffix = ".xml";
inline constexpr const char* kStylesheetFile = "indent.xsl";

struct LoadResult {
    enum class Kind {
        Loaded,
        NoDocument,     // no DOM document could be created (out of memory)
        Unreadable,     // the file cannot be read: `code` is the system's error number
        NotWellFormed,  // `code` is the parser's error code, `line` and `column` where it stopped
        Refused,        // a bound for hostile files: `line` and `column` where it was found
        ExpandsBeyond,  // a value expands beyond what can be read (entity expansion)
    };
    Kind kind = Kind::Loaded;
    int code = 0;
    int line = 0;
    int column = 0;
    std::string text;  // the system's, the parser's or the bound's description

    explicit operator bool() const { return kind == Kind::Loaded; }
};

struct SaveResult {
    // The step of a save that failed.
    enum class Step {
        None,         // saved
        NoDocument,   // no DOM document could be created (out of memory)
        Build,        // the description cannot be written as XML (a name or a text)
        ScratchFile,  // writing the scratch file
        Stylesheet,   // reading or parsing indent.xsl
        Transform,    // the stylesheet failed, or its output would not load back
        Target,       // writing the file itself (EBUSY: it is the stylesheet)
    };
    Step failed = Step::None;
    int systemError = 0;  // the system's error number, when the step failed on one
    std::string detail;   // what failed, in words

    explicit operator bool() const { return failed == Step::None; }
};

// Replaces `setup` with the contents of the setup file at `path`. The file is read into a
// fresh description, so a failed load leaves `setup` exactly as it was.
LoadResult LoadSetupFile(const std::string& path, model::SetupDocument& setup);

// The same for the bytes of a setup file already in memory. `source` says how the parser hands
// the reader the document; every source gives the same description (a test compares them).
LoadResult LoadSetupBytes(std::string_view bytes, model::SetupDocument& setup,
                          xml::EventSource source = xml::EventSource::Stream);

// Writes `setup` to `path`, pretty-printed through indent.xsl, by way of a scratch file of this
// save's own (temp-XXXXXXXX.xml, created under a name no other save has), which is removed
// before the save returns. When indent.xsl is byte for byte the stylesheet the library ships,
// the file is written directly in the layout it would give (see save_ways.h), in time linear
// in the description and with little memory beside it; any other stylesheet goes through the
// DOM and the XSLT engine. A file named temp.xml is not the save's and is left alone. On failure
// the file at `path` is as it was and no scratch file is left behind. `path` is a plain file
// name; a link there is followed and the file keeps its identity (see
// platform::ReplacementFile). When `path` is indent.xsl itself (by any name), it is refused.
SaveResult SaveSetupFile(const model::SetupDocument& setup, const std::string& path);

// The message the load and save drivers have for a result: "XML Instance create error",
// "XML load error %d", "XML node create error", "XML save error", or empty for a success and
// for the failures that have none (a value that expands beyond what can be read, the
// pretty-printing steps).
std::string MessageOf(const LoadResult& result);
std::string MessageOf(const SaveResult& result);

// The failed step in words: "building the document", "writing the scratch file", ...
const char* StepName(SaveResult::Step step);

}  // namespace korvane::setupfile
