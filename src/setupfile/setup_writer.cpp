#include "setupfile/setup_writer.h"

#include <vector>

#include "setupfile/grammar.h"
#include "setupfile/setup_elements.h"

namespace korvane::setupfile {
namespace {

using xml::Node;

// Builds the tree in `document`, linking each element to its parent once it is complete: the
// root last of all, so that a walk that stops leaves no SETUP element in the document.
class TreeBuilder : public ElementSink {
  public:
    explicit TreeBuilder(xml::Document& document) : document_(document) {}

    bool StartElement(std::string_view name) override {
        Node element = document_.CreateElement(name);
        if (!element) return false;
        open_.push_back(element);
        return true;
    }

    bool EndElement() override {
        const Node element = open_.back();
        open_.pop_back();
        return document_.AppendChild(open_.empty() ? Node() : open_.back(), element);
    }

    // Never without the text node, even for the empty text.
    bool ValueElement(std::string_view name, std::string_view utf8) override {
        Node element = document_.CreateElement(name);
        Node text = document_.CreateTextNode(utf8);
        return element && text && document_.AppendChild(element, text) &&
               document_.AppendChild(open_.back(), element);
    }

  private:
    xml::Document& document_;
    std::vector<Node> open_;  // the elements started and not yet ended
};

}  // namespace

bool WriteSetup(const model::SetupDocument& setup, xml::Document& document, std::string& failure) {
    failure.clear();
    if (!document.AppendProcessingInstruction("xml", kDeclarationData)) return false;
    TreeBuilder builder(document);
    return WalkSetupElements(setup, builder, failure);
}

}  // namespace korvane::setupfile
