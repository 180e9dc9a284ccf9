// The events of a document on Windows: the XML component parses it whole, as a load always
// has, and its tree is walked (see xml_events.h).
#include "xml/xml_events.h"

namespace korvane::xml {

bool ReadXmlEvents(std::string_view bytes, EventSink& sink, ParseError& error, EventSource) {
    return ReadDocumentEvents(bytes, sink, error);
}

}  // namespace korvane::xml
