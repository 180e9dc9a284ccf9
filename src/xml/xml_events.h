// A parsed document as a stream of events in document order: what the setup file's reader and
// check consume, whichever way the document was parsed.
//
// Only the root element's events are handed out (the prolog and what follows the root are no
// part of a setup file). Layout (IsLayoutText) is never handed out; every other text is, in one
// or more Text events in a row for one text of the file. Names and texts are UTF-8 and valid
// only during the call that hands them out.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "xml/dom.h"

namespace korvane::xml {

enum class EventKind {
    StartElement,           // `name`: the tag name, with its prefix
    EndElement,             // `name`: the tag name
    Text,                   // `text`: a piece of a text
    CData,                  // `text`: a CDATA section's content
    Comment,                // `text`: the comment
    ProcessingInstruction,  // `name`: the target; `text`: the data
    EntityReference,        // `name`: the entity's name; `expansion` gives its text
};

// The text that an entity reference stands for, read only when asked: a document built to
// expand without end costs nothing until its text is wanted.
class EntityExpansion {
  public:
    // All text of the replacement, at most `maxBytes`, cut at a whole UTF-8 character. False
    // when reading it takes the document beyond what can be read.
    virtual bool Text(std::size_t maxBytes, std::string& out) const = 0;

  protected:
    ~EntityExpansion() = default;
};

struct Event {
    EventKind kind = EventKind::Text;
    std::string_view name;
    std::string_view text;
    const EntityExpansion* expansion = nullptr;  // EntityReference only
    long line = 0;  // where the parser was when it read the node (1-based); 0 when unknown
    long column = 0;
};

class EventSink {
  public:
    // Takes the next event. May throw std::bad_alloc, which ends the stream.
    virtual void OnEvent(const Event& event) = 0;

  protected:
    ~EventSink() = default;
};

// How the events are produced.
enum class EventSource {
    // From the parser as it reads, without a tree where the backend allows it (libxml2, for a
    // document without a document type); otherwise as Tree.
    Stream,
    // From a walk of the parsed document's tree.
    Tree,
};

// Parses `bytes`, a file's bytes in the encoding its byte-order mark or declaration names, as
// Document::ParseBytes does (the same options, bounds and refusals), and hands `sink` the
// events of its root element. False, with `error` saying why, when the document is not
// well-formed or is refused; the events handed out before the failure was found then describe
// no document.
bool ReadXmlEvents(std::string_view bytes, EventSink& sink, ParseError& error,
                   EventSource source = EventSource::Stream);

// EventSource::Tree: parses `bytes` into a Document and walks its tree.
bool ReadDocumentEvents(std::string_view bytes, EventSink& sink, ParseError& error);

// Hands `sink` the events of the root element of `document`, already parsed.
void WalkDocumentEvents(Document& document, EventSink& sink);

}  // namespace korvane::xml
