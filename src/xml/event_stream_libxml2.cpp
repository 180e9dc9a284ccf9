// The events of a document straight from libxml2's parser, without a tree: a setup file is
// read in one pass over its bytes, holding only what the reader keeps.
//
// A document with a document type may declare entities, whose references stand for text that
// only a tree holds: it is parsed again into a tree and walked (the document type comes before
// the root element, so no event has been handed out yet).
#include <libxml/SAX2.h>

#include <string>

#include "xml/layout_filter.h"
#include "xml/libxml2_parse.h"
#include "xml/xml_events.h"

namespace korvane::xml {
namespace {

struct Stream {
    explicit Stream(EventSink& sink) : filter(sink) {}
    LayoutFilter filter;
    int depth = 0;  // of the open elements, the root's is 1
    bool needsTree = false;
    std::string name;
};

const char* Chars(const xmlChar* text) {
    return reinterpret_cast<const char*>(text);
}

xmlParserCtxtPtr ContextOf(void* userData) {
    return static_cast<xmlParserCtxtPtr>(userData);
}

Stream& StreamOf(xmlParserCtxtPtr context) {
    return *static_cast<Stream*>(SessionOf(context)->client);
}

// Hands `event` on with the parser's position, unless it lies outside the root element.
void Hand(xmlParserCtxtPtr context, Event& event) {
    Stream& stream = StreamOf(context);
    if (stream.depth == 0) return;
    if (context->input != nullptr) {
        event.line = context->input->line;
        event.column = context->input->col;
    }
    Contained(context, [&] { stream.filter.OnEvent(event); });
}

std::string_view QualifiedName(Stream& stream, const xmlChar* prefix, const xmlChar* localName) {
    if (prefix == nullptr) return Chars(localName);
    stream.name.assign(Chars(prefix)).append(":").append(Chars(localName));
    return stream.name;
}

void StartElement(void* userData, const xmlChar* localName, const xmlChar* prefix, const xmlChar*,
                  int, const xmlChar**, int, int, const xmlChar**) {
    xmlParserCtxtPtr context = ContextOf(userData);
    if (!CountElementName(context, prefix, localName)) return;
    Stream& stream = StreamOf(context);
    ++stream.depth;
    Event event;
    event.kind = EventKind::StartElement;
    Contained(context, [&] { event.name = QualifiedName(stream, prefix, localName); });
    Hand(context, event);
}

void EndElement(void* userData, const xmlChar* localName, const xmlChar* prefix, const xmlChar*) {
    xmlParserCtxtPtr context = ContextOf(userData);
    Stream& stream = StreamOf(context);
    Event event;
    event.kind = EventKind::EndElement;
    Contained(context, [&] { event.name = QualifiedName(stream, prefix, localName); });
    Hand(context, event);
    --stream.depth;
}

void Characters(void* userData, const xmlChar* characters, int length) {
    Event event;
    event.kind = EventKind::Text;
    event.text = std::string_view(Chars(characters), static_cast<std::size_t>(length));
    Hand(ContextOf(userData), event);
}

void CDataBlock(void* userData, const xmlChar* characters, int length) {
    Event event;
    event.kind = EventKind::CData;
    event.text = std::string_view(Chars(characters), static_cast<std::size_t>(length));
    Hand(ContextOf(userData), event);
}

void Comment(void* userData, const xmlChar* text) {
    Event event;
    event.kind = EventKind::Comment;
    event.text = Chars(text);
    Hand(ContextOf(userData), event);
}

void ProcessingInstruction(void* userData, const xmlChar* target, const xmlChar* data) {
    Event event;
    event.kind = EventKind::ProcessingInstruction;
    event.name = Chars(target);
    if (data != nullptr) event.text = Chars(data);
    Hand(ContextOf(userData), event);
}

void DocumentType(void* userData, const xmlChar*, const xmlChar*, const xmlChar*) {
    xmlParserCtxtPtr context = ContextOf(userData);
    StreamOf(context).needsTree = true;
    xmlStopParser(context);
}

void InstallStream(xmlSAXHandler& handler) {
    handler.startElementNs = StartElement;
    handler.endElementNs = EndElement;
    handler.characters = Characters;
    handler.ignorableWhitespace = Characters;
    handler.cdataBlock = CDataBlock;
    handler.comment = Comment;
    handler.processingInstruction = ProcessingInstruction;
    handler.internalSubset = DocumentType;
}

}  // namespace

bool ReadXmlEvents(std::string_view bytes, EventSink& sink, ParseError& error, EventSource source) {
    if (source == EventSource::Stream) {
        InitialiseLibxml2Once();
        Stream stream(sink);
        FileEncoding encoding;
        bool wellFormed = false;
        ParseWithLibxml2(bytes, false, InstallStream, &stream, error, encoding, wellFormed);
        if (!stream.needsTree) return wellFormed;
    }
    return ReadDocumentEvents(bytes, sink, error);
}

}  // namespace korvane::xml
