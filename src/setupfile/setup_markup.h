// The direct writer of setup files: the XML text of a description, written from the description
// itself in the layout a stylesheet would give it, without building a document.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "model/setup_document.h"

namespace korvane::setupfile {

// How the text is laid out. Between the declaration and the root, and after the root, there is
// always one line feed.
struct MarkupLayout {
    // One element a line, indented by `indent` for each level of nesting; otherwise no layout
    // within the root at all.
    bool indented = false;
    std::string_view indent;
    // A value with the empty text as <name></name>; otherwise as <name/>.
    bool emptyValueAsPair = true;
};

// The layout of a save's scratch file: the document that the stylesheet transforms, as the DOM
// writes it, without layout.
MarkupLayout ScratchLayout();

// The layout that the stylesheet the library ships gives the file on this build's XSLT engine
// (see xml::EngineIndentedLayout).
MarkupLayout ShippedStylesheetLayout();

// Receives the text in pieces, each ending at a whole character; returns false to stop.
class MarkupOutput {
  public:
    virtual ~MarkupOutput() = default;
    virtual bool Write(std::string_view utf8) = 0;
};

// Writes the UTF-8 text of the setup file of `setup`, declaration first, to `out` in pieces of
// about `pieceBytes`, escaped as xml::XmlWriter escapes. The elements and every check are those
// of WalkSetupElements: false, with `failure` as it says, when a save cannot write them; false
// too when `out` stopped the writing.
bool WriteSetupMarkup(const model::SetupDocument& setup, const MarkupLayout& layout,
                      std::size_t pieceBytes, MarkupOutput& out, std::string& failure);

}  // namespace korvane::setupfile
