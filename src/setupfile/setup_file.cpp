#include "setupfile/setup_file.h"

#include <cerrno>
#include <memory>

#include "platform/files.h"
#include "setupfile/grammar.h"
#include "setupfile/save_ways.h"
#include "setupfile/setup_markup.h"
#include "setupfile/setup_reader.h"
#include "setupfile/setup_writer.h"
#include "setupfile/shipped_stylesheet.h"
#include "xml/dom.h"
#include "xml/markup_scanner.h"
#include "xml/xml_encoding.h"

namespace korvane::setupfile {
namespace {

LoadResult Failure(LoadResult::Kind kind, int code, std::string text) {
    LoadResult result;
    result.kind = kind;
    result.code = code;
    result.text = std::move(text);
    return result;
}

SaveResult Failure(SaveResult::Step step, int systemError, std::string detail) {
    return SaveResult{step, systemError, std::move(detail)};
}

LoadResult ParseFailure(const xml::ParseError& error) {
    LoadResult result =
        Failure(error.kind == xml::ParseError::Kind::Refused ? LoadResult::Kind::Refused
                                                             : LoadResult::Kind::NotWellFormed,
                error.code, error.text);
    result.line = error.line;
    result.column = error.column;
    return result;
}

LoadResult LoadInto(const std::string& path, model::SetupDocument& setup) {
    std::string bytes;
    if (const int error = platform::ReadSavedFile(path, platform::kMaxReadBytes, bytes))
        return Failure(LoadResult::Kind::Unreadable, error, platform::ErrorText(error));
    return LoadSetupBytes(bytes, setup);
}

LoadResult ReadInto(std::string_view bytes, model::SetupDocument& setup,
                    xml::EventSource source) {
    model::SetupDocument read;
    SetupReader reader(read);
    xml::ParseError parseError;
    if (!xml::ReadXmlEvents(bytes, reader, parseError, source)) return ParseFailure(parseError);
    if (reader.failed()) {
        return Failure(LoadResult::Kind::ExpandsBeyond, 0,
                       "expands beyond what can be read (entity expansion)");
    }
    setup.Swap(read);
    return LoadResult();
}

// The bytes of `document`'s file, in the encoding it names; `step` is what a failure is.
SaveResult EncodeDocument(const xml::Document& document, SaveResult::Step step,
                          std::string& bytes) {
    xml::SerializedDocument serialized;
    if (!document.Serialize(serialized)) return Failure(step, 0, "cannot serialise the document");
    if (!xml::EncodeXmlText(serialized.text, serialized.encoding, bytes))
        return Failure(step, 0, "cannot write the encoding " + serialized.encoding);
    return SaveResult();
}

// The failure of a save whose file the markup scanner refused.
SaveResult LoadRefusal(const xml::MarkupScanner& scanner) {
    return Failure(SaveResult::Step::Target, 0,
                   "a load would refuse the file (line " + std::to_string(scanner.line()) +
                       "): " + scanner.Description());
}

// Whether a load takes `bytes` past the markup scanner: a save never writes what a load
// refuses. The writer refuses a value too long for it, so this finds only what the layout
// would add.
SaveResult WithinLoadBounds(std::string_view bytes) {
    xml::MarkupScanner scanner;
    if (scanner.Feed(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()) &&
        scanner.Finish())
        return SaveResult();
    return LoadRefusal(scanner);
}

// Writes `document` to the file `path`, which is replaced whole or left as it was.
SaveResult WriteDocument(const xml::Document& document, const std::string& path) {
    std::string bytes;
    SaveResult encoded = EncodeDocument(document, SaveResult::Step::Target, bytes);
    if (!encoded) return encoded;
    SaveResult readable = WithinLoadBounds(bytes);
    if (!readable) return readable;
    platform::ReplacementFile file(path);
    if (!file.Write(bytes.data(), bytes.size()) || !file.Commit())
        return Failure(SaveResult::Step::Target, file.Error(), platform::ErrorText(file.Error()));
    return SaveResult();
}

// Writes `document` to a scratch file of this save's own, under a name no other save can take,
// and removes it again: the document is indented as it stands in memory, which is exactly what
// the scratch file holds (the DOM accepts only text that XML can carry). Not made durable.
SaveResult WriteScratchFile(const xml::Document& document) {
    std::string bytes;
    SaveResult encoded = EncodeDocument(document, SaveResult::Step::ScratchFile, bytes);
    if (!encoded) return encoded;
    std::string name;
    if (const int error = platform::WriteScratchFile(kScratchFilePrefix, kScratchFileSuffix,
                                                     bytes.data(), bytes.size(), name)) {
        return Failure(SaveResult::Step::ScratchFile, error, platform::ErrorText(error));
    }
    platform::RemoveFile(name);
    return SaveResult();
}

// The bytes of indent.xsl.
SaveResult ReadStylesheet(std::string& bytes) {
    if (const int error =
            platform::ReadRegularFile(kStylesheetFile, platform::kMaxReadBytes, bytes))
        return Failure(SaveResult::Step::Stylesheet, error, platform::ErrorText(error));
    return SaveResult();
}

// The pretty-printed form of `source`, through indent.xsl, written to `target`.
SaveResult IndentXmlFile(const xml::Document& source, const std::string& target) {
    std::string bytes;
    SaveResult read = ReadStylesheet(bytes);
    if (!read) return read;
    const std::unique_ptr<xml::Document> stylesheet = xml::Document::Create();
    const std::unique_ptr<xml::Document> result = xml::Document::Create();
    if (stylesheet == nullptr || result == nullptr)
        return Failure(SaveResult::Step::NoDocument, 0, "cannot create a document");
    xml::ParseError parseError;
    if (!stylesheet->ParseBytes(bytes, parseError)) {
        return Failure(SaveResult::Step::Stylesheet, 0,
                       std::string(kStylesheetFile) + ":" + std::to_string(parseError.line) + ":" +
                           std::to_string(parseError.column) + ": " + parseError.text);
    }
    if (!source.TransformInto(*stylesheet, *result)) {
        return Failure(SaveResult::Step::Transform, 0,
                       "the stylesheet failed, or its output is not one XML document");
    }
    return WriteDocument(*result, target);
}

SaveResult BuildFailure(const std::string& failure) {
    if (!failure.empty()) return Failure(SaveResult::Step::Build, 0, failure);
    return Failure(SaveResult::Step::Build, 0,
                   "a configuration name is not an XML element name or cannot be written in "
                   "the file's encoding, or a text holds a character XML cannot carry");
}

SaveResult EncodingFailure(SaveResult::Step step) {
    return Failure(step, 0, std::string("cannot write the encoding ") + kFileEncoding);
}

// The direct writer's pieces of text, each written in the file's encoding.
constexpr std::size_t kPieceBytes = 256 * 1024;

// Streams the bytes of the scratch file into it through `write`, or nowhere once a piece could
// not be encoded or written. Neither stops the writer: what it cannot build is the failure to
// report first.
class ScratchBytes : public MarkupOutput {
  public:
    explicit ScratchBytes(const platform::PieceWriter* write) : write_(write) {}

    bool Write(std::string_view utf8) override {
        bytes_.clear();
        encoded_ = encoded_ && xml::AppendEncodedXmlPiece(utf8, kFileEncoding, bytes_);
        if (encoded_ && write_ != nullptr && !(*write_)(bytes_.data(), bytes_.size()))
            write_ = nullptr;
        return true;
    }
    bool encoded() const { return encoded_; }

  private:
    const platform::PieceWriter* write_;  // null when the bytes go nowhere
    std::string bytes_;
    bool encoded_ = true;
};

// Streams the file's bytes, piece by piece, past the markup scanner into the replacement of
// the target. The whole file is encoded and scanned even after a write failed, so that the
// failure a save reports is the one it would report with the file written in one go: the
// encoding first, then what a load would refuse, then the file.
class TargetBytes : public MarkupOutput {
  public:
    explicit TargetBytes(platform::ReplacementFile& file) : file_(file) {}

    bool Write(std::string_view utf8) override {
        bytes_.clear();
        encoded_ = xml::AppendEncodedXmlPiece(utf8, kFileEncoding, bytes_);
        if (!encoded_) return false;
        if (!scanner_.Feed(reinterpret_cast<const unsigned char*>(bytes_.data()), bytes_.size()))
            return false;
        written_ = written_ && file_.Write(bytes_.data(), bytes_.size());
        return true;
    }

    // Whether the bytes stopped the writer: they could not be encoded, or a load would refuse
    // them.
    bool Stopped() const {
        return !encoded_ || scanner_.verdict() != xml::MarkupScanner::Verdict::Accepted;
    }

    // After the last piece: how writing the file went, committed when all went well.
    SaveResult Finish() {
        if (!encoded_) return EncodingFailure(SaveResult::Step::Target);
        if (scanner_.verdict() != xml::MarkupScanner::Verdict::Accepted || !scanner_.Finish())
            return LoadRefusal(scanner_);
        if (!written_ || !file_.Commit())
            return Failure(SaveResult::Step::Target, file_.Error(),
                           platform::ErrorText(file_.Error()));
        return SaveResult();
    }

  private:
    platform::ReplacementFile& file_;
    xml::MarkupScanner scanner_;
    std::string bytes_;
    bool encoded_ = true;
    bool written_ = true;
};

}  // namespace

SaveResult SaveThroughStylesheet(const model::SetupDocument& setup, const std::string& path) {
    const std::unique_ptr<xml::Document> document = xml::Document::Create();
    if (document == nullptr)
        return Failure(SaveResult::Step::NoDocument, 0, "cannot create a document");
    std::string failure;
    if (!WriteSetup(setup, *document, failure)) return BuildFailure(failure);
    SaveResult scratch = WriteScratchFile(*document);
    if (!scratch) return scratch;
    return IndentXmlFile(*document, path);
}

SaveResult SaveDirectly(const model::SetupDocument& setup, const std::string& path) {
    // The walk that writes the scratch file is also the check of everything the file holds; a
    // file that cannot be created gets the walk without it, since what cannot be built is
    // reported first.
    std::string failure;
    bool walked = false, built = false, encoded = false;
    const auto walk = [&](const platform::PieceWriter* write) {
        ScratchBytes scratch(write);
        walked = true;
        built = WriteSetupMarkup(setup, ScratchLayout(), kPieceBytes, scratch, failure);
        encoded = scratch.encoded();
    };
    std::string name;
    const int error = platform::WriteScratchFile(
        kScratchFilePrefix, kScratchFileSuffix,
        [&](const platform::PieceWriter& write) { walk(&write); }, name);
    if (error == 0) platform::RemoveFile(name);
    if (!walked) walk(nullptr);
    if (!built) return BuildFailure(failure);
    if (!encoded) return EncodingFailure(SaveResult::Step::ScratchFile);
    if (error != 0)
        return Failure(SaveResult::Step::ScratchFile, error, platform::ErrorText(error));

    platform::ReplacementFile file(path);
    TargetBytes target(file);
    // The walk passed once already: only the target's bytes should stop it now, and a file
    // that is not whole is never put in place.
    if (!WriteSetupMarkup(setup, ShippedStylesheetLayout(), kPieceBytes, target, failure) &&
        !target.Stopped())
        return BuildFailure(failure);
    return target.Finish();
}

namespace {

// The stylesheet the library ships is written directly, in the layout it gives; any other goes
// through the DOM and the XSLT engine. Read first only to choose: a failure to read it is the
// other way's to report, at its own step.
SaveResult BuildAndSave(const model::SetupDocument& setup, const std::string& path) {
    // Saving over the stylesheet would make every later save fail.
    if (platform::SameFile(path, kStylesheetFile)) {
        return Failure(SaveResult::Step::Target, EBUSY,
                       std::string("the file is the stylesheet ") + kStylesheetFile);
    }
    std::string stylesheet;
    if (ReadStylesheet(stylesheet) && IsShippedStylesheet(stylesheet))
        return SaveDirectly(setup, path);
    return SaveThroughStylesheet(setup, path);
}

}  // namespace

LoadResult LoadSetupFile(const std::string& path, model::SetupDocument& setup) {
    try {
        return LoadInto(path, setup);
    } catch (...) {
        // Out of memory while reading: the description is left as it was.
        return Failure(LoadResult::Kind::NoDocument, 0, "out of memory");
    }
}

LoadResult LoadSetupBytes(std::string_view bytes, model::SetupDocument& setup,
                          xml::EventSource source) {
    try {
        return ReadInto(bytes, setup, source);
    } catch (...) {
        return Failure(LoadResult::Kind::NoDocument, 0, "out of memory");
    }
}

SaveResult SaveSetupFile(const model::SetupDocument& setup, const std::string& path) {
    try {
        return BuildAndSave(setup, path);
    } catch (...) {
        return Failure(SaveResult::Step::NoDocument, 0, "out of memory");
    }
}

std::string MessageOf(const LoadResult& result) {
    switch (result.kind) {
        case LoadResult::Kind::NoDocument:
            return "XML Instance create error";
        case LoadResult::Kind::Unreadable:
        case LoadResult::Kind::NotWellFormed:
        case LoadResult::Kind::Refused:
            return "XML load error " + std::to_string(result.code);
        case LoadResult::Kind::Loaded:
        case LoadResult::Kind::ExpandsBeyond:
            break;
    }
    return std::string();
}

std::string MessageOf(const SaveResult& result) {
    switch (result.failed) {
        case SaveResult::Step::NoDocument:
            return "XML Instance create error";
        case SaveResult::Step::Build:
            return "XML node create error";
        case SaveResult::Step::ScratchFile:
            return "XML save error";
        case SaveResult::Step::None:
        case SaveResult::Step::Stylesheet:
        case SaveResult::Step::Transform:
        case SaveResult::Step::Target:
            break;
    }
    return std::string();
}

const char* StepName(SaveResult::Step step) {
    switch (step) {
        case SaveResult::Step::None:
            return "nothing";
        case SaveResult::Step::NoDocument:
            return "creating a document";
        case SaveResult::Step::Build:
            return "building the document";
        case SaveResult::Step::ScratchFile:
            return "writing the scratch file";
        case SaveResult::Step::Stylesheet:
            return "reading the stylesheet indent.xsl";
        case SaveResult::Step::Transform:
            return "pretty-printing through indent.xsl";
        case SaveResult::Step::Target:
            break;
    }
    return "writing the file";
}

}  // namespace korvane::setupfile
