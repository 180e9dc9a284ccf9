// The library's own writer of XML markup, so that a document escapes the same way whatever
// writes it (the Windows DOM's serialiser, the direct writer of setup files): a carriage return
// inside a text must reach the file as a reference, since a parser turns a raw one into a line
// feed.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace korvane::xml {

// Appends UTF-8 markup to a text, one node at a time, in document order. Texts and names are
// UTF-8 and written as they are, apart from these escapes:
// - text: & < > as entity references, CR as &#13;
// - attribute values: & < > " as entity references, CR, LF and TAB as &#13; &#10; &#9;
// - CDATA sections: split wherever the content holds "]]>" or a CR, the CR written as &#13;
//   between the pieces;
// - comments and processing instructions as they are (neither carries a value);
// - layout as it stands.
// An element without content is written as <name/>.
class XmlWriter {
  public:
    void StartElement(std::string_view name);
    // Only between StartElement and any content of that element.
    void Attribute(std::string_view name, std::string_view value);
    void EndElement();
    void Text(std::string_view text);
    void CData(std::string_view text);
    void Comment(std::string_view text);
    void ProcessingInstruction(std::string_view target, std::string_view data);
    // White space that is no part of any value (see IsLayoutText), written as it stands: line
    // ends between elements are the writer's own choice.
    void Layout(std::string_view blanks);

    // The markup written since the last Take, which may end inside an element, never inside a
    // character; the writer carries on where it stands.
    std::string Take();
    // The bytes Take would hand over.
    std::size_t Size() const { return out_.size(); }

  private:
    void CloseStartTag();
    std::string out_;
    std::vector<std::string> open_;
    bool startTagOpen_ = false;
};

}  // namespace korvane::xml
