// One parse through libxml2 under the library's options and bounds, shared by the DOM (which
// builds a tree) and the event stream (which builds none).
//
// libxml2 keeps its error handlers per thread and libxslt keeps one for the process; nothing
// here leaves either changed or lets either print: errors are captured around every call that
// can raise them and the previous handlers are put back.
#pragma once

#include <libxml/parser.h>
#include <libxml/xmlerror.h>
#include <libxslt/xsltutils.h>

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>

#include "xml/dom.h"
#include "xml/file_encoding.h"
#include "xml/markup_scanner.h"

namespace korvane::xml {

void InitialiseLibxml2Once();

// Silences libxml2's and libxslt's error output for its lifetime and restores what was there.
class CapturedErrors {
  public:
    CapturedErrors();
    ~CapturedErrors();
    CapturedErrors(const CapturedErrors&) = delete;
    CapturedErrors& operator=(const CapturedErrors&) = delete;

  private:
    xmlGenericErrorFunc generic_;
    void* genericContext_;
    xmlStructuredErrorFunc structured_;
    void* structuredContext_;
    xmlGenericErrorFunc xslt_;
    void* xsltContext_;
};

// An element's prefix and local name, both interned in the parser's dictionary: equal names
// have equal pointers.
using InternedName = std::pair<const xmlChar*, const xmlChar*>;
struct InternedNameHash {
    std::size_t operator()(const InternedName& name) const {
        const std::hash<const void*> hash;
        return hash(name.first) * 31 + hash(name.second);
    }
};

// What one parse reads and counts; the parser context's `_private` points at it.
struct ParseSession {
    ParseSession(ParseError& parseError, std::string_view input, bool knownUtf8, void* owner)
        : error(&parseError), bytes(input), scanner(knownUtf8), client(owner) {}
    ParseError* error;
    std::string_view bytes;  // what the parser has not been handed yet
    MarkupScanner scanner;
    std::unordered_set<InternedName, InternedNameHash> elementNames;
    std::array<InternedName, 16> recentNames{};  // a few of `elementNames`
    std::size_t nextRecent = 0;
    bool tooManyNames = false;
    // A callback ran out of memory: the parse was stopped, since no exception may unwind
    // through libxml2's own frames (it would leave its parser and document behind).
    bool outOfMemory = false;
    void* client;  // what the callbacks of whoever runs the parse work on
};

ParseSession* SessionOf(void* parserContext);

// Runs the body of a parser callback; a failed allocation inside it stops the parse instead
// of unwinding through libxml2.
template <typename Body>
void Contained(xmlParserCtxtPtr context, Body&& body) noexcept {
    try {
        body();
    } catch (...) {
        SessionOf(context)->outOfMemory = true;
        xmlStopParser(context);
    }
}

// Counts an element's name at its start tag; false, with the parse stopped, once the document
// holds more names than a setup file could need.
bool CountElementName(xmlParserCtxtPtr context, const xmlChar* prefix, const xmlChar* localName);

// The parser's callbacks besides the bounds and the error capture that every parse has.
using InstallHandlers = void (*)(xmlSAXHandler& handler);

// Parses `input` (a file's bytes, or UTF-8 text when `utf8Text`) with the callbacks that
// `install` sets, `client` reachable from them through the session. Returns the document
// libxml2 built (null when the callbacks build none, or on failure); `wellFormed` says whether
// the parse succeeded and `error` why not, as Document::ParseBytes documents. `encoding` is the
// encoding the file was read in. Throws std::bad_alloc when a callback ran out of memory.
std::unique_ptr<xmlDoc, void (*)(xmlDocPtr)> ParseWithLibxml2(std::string_view input, bool utf8Text,
                                                              InstallHandlers install, void* client,
                                                              ParseError& error,
                                                              FileEncoding& encoding,
                                                              bool& wellFormed);

}  // namespace korvane::xml
