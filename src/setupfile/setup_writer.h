// Builds the XML tree of a setup file from the description in memory.
#pragma once

#include "model/setup_document.h"
#include "xml/dom.h"

namespace korvane::setupfile {

// Appends the declaration and the complete SETUP tree to `document`, which must be empty: all
// ten sections in their fixed order, each written even when empty. Subtrees are linked only
// when complete, so on failure (an element name that cannot be written) the document holds
// no SETUP element and false is returned.
bool WriteSetup(const model::SetupDocument& setup, xml::Document& document);

}  // namespace korvane::setupfile
