// The elements of a setup file, walked from the description in memory in the file's order,
// with every check that decides whether a save can write them: the one walk behind both ways a
// save writes the file (the DOM that a stylesheet transforms, and the direct writer).
#pragma once

#include <string>
#include <string_view>

#include "model/setup_document.h"

namespace korvane::setupfile {

// Receives the elements of a setup file in document order; each call returns false to stop
// the walk.
class ElementSink {
  public:
    virtual ~ElementSink() = default;
    // An element that holds elements (the root, a section, an item), until its EndElement.
    virtual bool StartElement(std::string_view name) = 0;
    virtual bool EndElement() = 0;
    // An element holding exactly the text `utf8` (one text, also when it is empty).
    virtual bool ValueElement(std::string_view name, std::string_view utf8) = 0;
};

// Hands `sink` the SETUP element and everything in it: all ten sections in their fixed order,
// each even when empty. Every value's text is the file's own text a load kept (UTF-8), or else
// the description's text converted from the system code page. Stops with false at the first
// element a save cannot write: a configuration name that is not an XML element name or cannot
// be written in the file's encoding, a text holding a character XML cannot carry, or a value
// whose text would take more bytes in the file than a load reads
// (xml::MarkupScanner::kMaxRunBytes), which `failure` then names (otherwise it is empty); or
// when `sink` stops it.
bool WalkSetupElements(const model::SetupDocument& setup, ElementSink& sink, std::string& failure);

}  // namespace korvane::setupfile
