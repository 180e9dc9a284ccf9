#include "setupfile/setup_markup.h"

#include "setupfile/grammar.h"
#include "setupfile/setup_elements.h"
#include "xml/dom.h"
#include "xml/xml_writer.h"

namespace korvane::setupfile {
namespace {

class MarkupWriter : public ElementSink {
  public:
    MarkupWriter(const MarkupLayout& layout, std::size_t pieceBytes, MarkupOutput& out)
        : layout_(layout), pieceBytes_(pieceBytes), out_(out) {}

    bool Declaration() {
        writer_.ProcessingInstruction("xml", kDeclarationData);
        writer_.Layout("\n");
        return true;
    }

    bool StartElement(std::string_view name) override {
        StartLine();
        writer_.StartElement(name);
        ++depth_;
        lineOpen_ = true;
        return true;
    }

    // An element whose start tag still ends its line has no children: <name/>.
    bool EndElement() override {
        --depth_;
        if (!lineOpen_) Indent();
        writer_.EndElement();
        lineOpen_ = false;
        EndLine();
        return depth_ > 0 || Flush();
    }

    bool ValueElement(std::string_view name, std::string_view utf8) override {
        StartLine();
        writer_.StartElement(name);
        if (!utf8.empty() || layout_.emptyValueAsPair) writer_.Text(utf8);
        writer_.EndElement();
        EndLine();
        return writer_.Size() < pieceBytes_ || Flush();
    }

    bool Flush() { return out_.Write(writer_.Take()); }

  private:
    // Ends the line of the parent's start tag, before its first child, and indents.
    void StartLine() {
        if (lineOpen_ && layout_.indented) writer_.Layout("\n");
        lineOpen_ = false;
        Indent();
    }
    void Indent() {
        if (!layout_.indented) return;
        for (int level = 0; level < depth_; ++level) writer_.Layout(layout_.indent);
    }
    // After each element; the root's line ends in every layout.
    void EndLine() {
        if (layout_.indented || depth_ == 0) writer_.Layout("\n");
    }

    const MarkupLayout& layout_;
    const std::size_t pieceBytes_;
    MarkupOutput& out_;
    xml::XmlWriter writer_;
    int depth_ = 0;          // elements started and not yet ended
    bool lineOpen_ = false;  // the last thing written is a start tag, its line not ended
};

}  // namespace

MarkupLayout ScratchLayout() {
    return MarkupLayout{false, std::string_view(), true};
}

MarkupLayout ShippedStylesheetLayout() {
    const xml::IndentedLayout engine = xml::EngineIndentedLayout();
    return MarkupLayout{true, engine.indent, engine.emptyTextAsPair};
}

bool WriteSetupMarkup(const model::SetupDocument& setup, const MarkupLayout& layout,
                      std::size_t pieceBytes, MarkupOutput& out, std::string& failure) {
    MarkupWriter writer(layout, pieceBytes, out);
    return writer.Declaration() && WalkSetupElements(setup, writer, failure);
}

}  // namespace korvane::setupfile
