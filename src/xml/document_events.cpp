// The events of a parsed document, from a walk of its tree (see xml_events.h).
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "xml/xml_events.h"

namespace korvane::xml {
namespace {

class ReferenceText final : public EntityExpansion {
  public:
    ReferenceText(Document& document, Node reference) : document_(document), node_(reference) {}
    bool Text(std::size_t maxBytes, std::string& out) const override {
        return document_.Text(node_, maxBytes, out);
    }

  private:
    Document& document_;
    Node node_;
};

}  // namespace

void WalkDocumentEvents(Document& document, EventSink& sink) {
    const Node root = document.DocumentElement();
    if (!root) return;
    std::string name, value;
    // The path from the root to the node to visit next; a level whose nodes are done holds no
    // node, and its element ends.
    std::vector<Node> path{root};
    while (!path.empty()) {
        const Node node = path.back();
        if (!node) {
            path.pop_back();
            if (path.empty()) break;
            // The element that held the finished level ends; the walk goes on after it.
            const Node element = path.back();
            name = document.NodeName(element);
            Event end;
            end.kind = EventKind::EndElement;
            end.name = name;
            sink.OnEvent(end);
            path.back() = path.size() == 1 ? Node() : document.NextSibling(element);
            continue;
        }
        Event event;
        event.line = document.LineOf(node);
        const NodeKind kind = document.KindOf(node);
        switch (kind) {
            case NodeKind::Element:
                name = document.NodeName(node);
                event.kind = EventKind::StartElement;
                event.name = name;
                sink.OnEvent(event);
                path.push_back(document.FirstChild(node));
                continue;
            case NodeKind::Text:
            case NodeKind::CData:
            case NodeKind::Comment:
                event.kind = kind == NodeKind::Text    ? EventKind::Text
                             : kind == NodeKind::CData ? EventKind::CData
                                                       : EventKind::Comment;
                if (!document.Value(node, value)) value.clear();
                event.text = value;
                sink.OnEvent(event);
                break;
            case NodeKind::ProcessingInstruction:
                name = document.NodeName(node);
                if (!document.Value(node, value)) value.clear();
                event.kind = EventKind::ProcessingInstruction;
                event.name = name;
                event.text = value;
                sink.OnEvent(event);
                break;
            case NodeKind::EntityReference: {
                name = document.NodeName(node);
                const ReferenceText expansion(document, node);
                event.kind = EventKind::EntityReference;
                event.name = name;
                event.expansion = &expansion;
                sink.OnEvent(event);
                break;
            }
            case NodeKind::Other:
                break;
        }
        path.back() = document.NextSibling(node);
    }
}

bool ReadDocumentEvents(std::string_view bytes, EventSink& sink, ParseError& error) {
    const std::unique_ptr<Document> document = Document::Create();
    if (document == nullptr) throw std::bad_alloc();
    if (!document->ParseBytes(bytes, error)) return false;
    WalkDocumentEvents(*document, sink);
    return true;
}

}  // namespace korvane::xml
