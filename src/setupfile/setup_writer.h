// Builds the XML tree of a setup file from the description in memory.
#pragma once

#include <string>

#include "model/setup_document.h"
#include "xml/dom.h"

namespace korvane::setupfile {

// Appends the declaration and the complete SETUP tree to `document`, which must be empty: all
// ten sections in their fixed order, each written even when empty. Subtrees are linked only
// when complete, so on failure (an element name that cannot be written) the document holds
// no SETUP element and false is returned. A value whose text would take more bytes in the file
// than a load reads (xml::MarkupScanner::kMaxRunBytes) fails the same way, and `failure` then
// names it; otherwise `failure` is empty.
bool WriteSetup(const model::SetupDocument& setup, xml::Document& document, std::string& failure);

}  // namespace korvane::setupfile
