#include "xml/libxml2_parse.h"

#include <libxml/SAX2.h>
#include <libxml/dict.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <new>
#include <optional>

#include "platform/iconv_decoding_posix.h"
#include "xml/load_bounds.h"

namespace korvane::xml {
namespace {

// libxml2's name dictionary holds attribute and entity names too: as a whole it gets a wider
// bound than the element names.
constexpr std::size_t kMaxDictionaryNames = 4 * kMaxElementNames;

// Blank text is kept as parsed: libxml2's own removal of blanks takes the blank pieces of a
// text it split at a CR or a comment. Layout is left out by whoever takes the callbacks.
// A tree keeps its own copies of names and texts rather than the parser's dictionary, which
// would otherwise take in blank texts and xml:id values: the dictionary's bound then counts
// what a stream counts, whether a tree is built or not.
constexpr int kLoadOptions = XML_PARSE_NONET | XML_PARSE_COMPACT | XML_PARSE_NOERROR |
                             XML_PARSE_NOWARNING | XML_PARSE_BIG_LINES | XML_PARSE_NODICT;

void IgnoreGenericError(void*, const char*, ...) {}
void IgnoreStructuredError(void*, xmlErrorPtr) {}

// Hands the parser the next bytes once the scanner has seen them; -1 ends the parse.
int ReadScanned(void* userData, char* buffer, int length) noexcept {
    auto* session = static_cast<ParseSession*>(userData);
    try {
        if (session->bytes.empty()) return session->scanner.Finish() ? 0 : -1;
        const std::size_t size = std::min(session->bytes.size(), static_cast<std::size_t>(length));
        std::memcpy(buffer, session->bytes.data(), size);
        session->bytes.remove_prefix(size);
        const auto* bytes = reinterpret_cast<const unsigned char*>(buffer);
        return session->scanner.Feed(bytes, size) ? static_cast<int>(size) : -1;
    } catch (...) {
        session->outOfMemory = true;
        return -1;
    }
}

// Stops the parse once the name dictionary holds more names than a setup file could need.
bool WithinNameBounds(xmlParserCtxtPtr context) {
    ParseSession* session = SessionOf(context);
    if (!session->tooManyNames && session->elementNames.size() <= kMaxElementNames &&
        (context->dict == nullptr ||
         xmlDictSize(context->dict) <= static_cast<int>(kMaxDictionaryNames))) {
        return true;
    }
    session->tooManyNames = true;
    xmlStopParser(context);
    return false;
}

void CountedEntityDeclaration(void* userData, const xmlChar* name, int type,
                              const xmlChar* publicId, const xmlChar* systemId, xmlChar* content) {
    if (!WithinNameBounds(static_cast<xmlParserCtxtPtr>(userData))) return;
    xmlSAX2EntityDecl(userData, name, type, publicId, systemId, content);
}

// The converter that libxml2 is to decode the file `bytes` with, chosen by the library: the
// table's, by the byte-order mark or else by the declared name; null for a declared name that
// the table lacks, which libxml2 then finds through iconv itself. A file in an encoding other
// than UTF-8 and UTF-16 the library decodes itself (see DecodeToUtf8): `readAsUtf8` is then
// set, the converter is UTF-8 and `decoded` holds the file's text unless its bytes are already
// UTF-8. False (with `error` saying why) for bytes refused before any parse.
bool ChooseConverter(std::string_view bytes, FileEncoding& encoding, const char*& converter,
                     std::optional<std::string>& decoded, bool& readAsUtf8, ParseError& error) {
    std::string failure;
    converter = nullptr;
    if (ChooseFileEncoding(bytes, encoding, failure)) {
        if (encoding.known == nullptr) return true;
        converter = encoding.known->converter;
        // libxml2 decodes UTF-8 and UTF-16 itself. Any other encoding the library decodes
        // once, before the parse: then an invalid sequence always fails the load, and the
        // parser and the scanner read UTF-8. (The scanner refuses a declared UTF-16 that the
        // bytes do not show.)
        const platform::ByteLayout layout = encoding.known->layout;
        const bool throughIconv = layout != platform::ByteLayout::Utf8 &&
                                  layout != platform::ByteLayout::Utf16Le &&
                                  layout != platform::ByteLayout::Utf16Be;
        if (!throughIconv) return true;
        std::string text;
        bool asIs = false;
        if (platform::DecodeToUtf8(*encoding.known, bytes.substr(encoding.markLength), text,
                                   asIs)) {
            if (!asIs) decoded = std::move(text);
            converter = "UTF-8";
            readAsUtf8 = true;
            return true;
        }
        failure = "bytes that are not valid " + encoding.declared;
    }
    error.kind = ParseError::Kind::NotWellFormed;
    error.code = XML_ERR_UNSUPPORTED_ENCODING;
    error.line = error.column = 1;
    error.text = RefusalText(failure);
    return false;
}

// Keeps the first error of a parse in the session's ParseError.
void RecordParseError(void* userData, xmlErrorPtr error) {
    auto* context = static_cast<xmlParserCtxtPtr>(userData);
    ParseError* loadError = context->_private != nullptr ? SessionOf(context)->error : nullptr;
    if (loadError == nullptr || error == nullptr || error->level < XML_ERR_ERROR) return;
    // A load validates nothing: what a tree's builder finds invalid (a repeated xml:id, one that
    // is not a name) is no reason a load fails, and would hide the error that is.
    if (error->domain == XML_FROM_VALID || error->domain == XML_FROM_DTD) return;
    if (loadError->kind != ParseError::Kind::None) return;
    loadError->kind = ParseError::Kind::NotWellFormed;
    loadError->code = error->code;
    loadError->line = error->line;
    loadError->column = error->int2;
    Contained(context, [&] {
        loadError->text = error->message != nullptr ? error->message : "";
        while (!loadError->text.empty() && loadError->text.back() == '\n')
            loadError->text.pop_back();
    });
}

}  // namespace

void InitialiseLibxml2Once() {
    static std::once_flag once;
    std::call_once(once, [] { xmlInitParser(); });
}

CapturedErrors::CapturedErrors()
    : generic_(xmlGenericError),
      genericContext_(xmlGenericErrorContext),
      structured_(xmlStructuredError),
      structuredContext_(xmlStructuredErrorContext),
      xslt_(xsltGenericError),
      xsltContext_(xsltGenericErrorContext) {
    xmlSetGenericErrorFunc(nullptr, IgnoreGenericError);
    xmlSetStructuredErrorFunc(nullptr, IgnoreStructuredError);
    xsltSetGenericErrorFunc(nullptr, IgnoreGenericError);
}

CapturedErrors::~CapturedErrors() {
    xmlSetGenericErrorFunc(genericContext_, generic_);
    xmlSetStructuredErrorFunc(structuredContext_, structured_);
    xsltSetGenericErrorFunc(xsltContext_, xslt_);
}

ParseSession* SessionOf(void* parserContext) {
    return static_cast<ParseSession*>(static_cast<xmlParserCtxtPtr>(parserContext)->_private);
}

bool CountElementName(xmlParserCtxtPtr context, const xmlChar* prefix, const xmlChar* localName) {
    ParseSession* session = SessionOf(context);
    const InternedName name(prefix, localName);
    // A setup file repeats a few names over and over: those recently counted are known.
    const auto& recent = session->recentNames;
    if (std::find(recent.begin(), recent.end(), name) != recent.end())
        return WithinNameBounds(context);
    bool counted = false;
    Contained(context, [&] {
        session->elementNames.insert(name);
        counted = true;
    });
    session->recentNames[session->nextRecent++ % session->recentNames.size()] = name;
    return counted && WithinNameBounds(context);
}

std::unique_ptr<xmlDoc, void (*)(xmlDocPtr)> ParseWithLibxml2(std::string_view input, bool utf8Text,
                                                              InstallHandlers install, void* client,
                                                              ParseError& error,
                                                              FileEncoding& encoding,
                                                              bool& wellFormed) {
    std::unique_ptr<xmlDoc, void (*)(xmlDocPtr)> none(nullptr, xmlFreeDoc);
    error = ParseError();
    encoding = FileEncoding();
    wellFormed = false;
    const char* converter = "UTF-8";  // text is UTF-8 whatever its declaration says
    std::optional<std::string> decoded;
    bool readAsUtf8 = false;
    if (!utf8Text && !ChooseConverter(input, encoding, converter, decoded, readAsUtf8, error))
        return none;
    // (An encoding the library decodes is never decided by a byte-order mark.)
    if (decoded) input = *decoded;
    utf8Text = utf8Text || readAsUtf8;
    CapturedErrors captured;
    const std::unique_ptr<xmlParserCtxt, void (*)(xmlParserCtxtPtr)> owned(xmlNewParserCtxt(),
                                                                           xmlFreeParserCtxt);
    xmlParserCtxtPtr context = owned.get();
    if (context == nullptr) {
        error.kind = ParseError::Kind::NotWellFormed;
        error.text = "out of memory";
        return none;
    }
    // Parse errors go to this parse's own handler, never to a process-wide one. The scanner
    // sees the byte-order mark, the parser does not: a converter given by name keeps it.
    ParseSession session(error, input, utf8Text || encoding.decidedByBytes, client);
    session.scanner.Feed(reinterpret_cast<const unsigned char*>(input.data()), encoding.markLength);
    session.bytes.remove_prefix(encoding.markLength);
    context->_private = &session;
    context->sax->serror = RecordParseError;
    context->sax->entityDecl = CountedEntityDeclaration;
    install(*context->sax);
    context->sax->initialized = XML_SAX2_MAGIC;
    // Streamed through the scanner, which sees every byte first. The converter named here
    // decodes the whole file, whatever its declaration says.
    std::unique_ptr<xmlDoc, void (*)(xmlDocPtr)> parsed(
        xmlCtxtReadIO(context, ReadScanned, nullptr, &session, nullptr, converter,
                      kLoadOptions | (converter != nullptr ? XML_PARSE_IGNORE_ENC : 0)),
        xmlFreeDoc);
    // Out of memory is no verdict on the file: it fails the load as the library's other
    // allocations do.
    if (session.outOfMemory) throw std::bad_alloc();
    const bool refused =
        session.scanner.verdict() != MarkupScanner::Verdict::Accepted || session.tooManyNames;
    wellFormed = parsed != nullptr && context->wellFormed && !refused;
    if (refused) {
        const bool nul = session.scanner.verdict() == MarkupScanner::Verdict::NulCharacter;
        error = ParseError();
        error.kind = ParseError::Kind::Refused;
        error.code = nul ? XML_ERR_INVALID_CHAR : XML_ERR_USER_STOP;
        if (session.tooManyNames) {
            error.line = context->input != nullptr ? context->input->line : 0;
            error.column = context->input != nullptr ? context->input->col : 0;
            error.text = TooManyNamesText();
        } else {
            error.line = static_cast<int>(session.scanner.line());
            error.column = static_cast<int>(session.scanner.column());
            error.text = RefusalText(session.scanner.Description());
        }
    } else if (!wellFormed && error.kind == ParseError::Kind::None) {
        const xmlError* last = xmlCtxtGetLastError(context);
        error.kind = ParseError::Kind::NotWellFormed;
        error.code = last != nullptr ? last->code : 0;
        error.line = last != nullptr ? last->line : 0;
        error.column = last != nullptr ? last->int2 : 0;
        error.text =
            last != nullptr && last->message != nullptr ? last->message : "not well-formed";
    }
    if (!wellFormed) return none;
    // The document's encoding is the one its declaration names, as without a converter given.
    if (converter != nullptr) {
        xmlFree(const_cast<xmlChar*>(parsed->encoding));
        parsed->encoding =
            encoding.declared.empty()
                ? nullptr
                : xmlStrdup(reinterpret_cast<const xmlChar*>(encoding.declared.c_str()));
    }
    return parsed;
}

}  // namespace korvane::xml
