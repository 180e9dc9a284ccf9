// Fills the description in memory from the XML tree of a setup file.
#pragma once

#include "model/setup_document.h"
#include "xml/dom.h"

namespace korvane::setupfile {

// Reads the ten sections of `document` into `setup`, which should be empty. The root's name
// is not checked; each section is the first child of the root with its name, the other
// children are ignored. Every element child of a section is one item, whatever its name;
// other children are skipped. Within an item each value is the first child with its name; a
// missing value reads as the empty text, or 0. Texts longer than the reader keeps are cut at
// the last whole character. False when the document expands beyond what can be read.
bool ReadSetup(xml::Document& document, model::SetupDocument& setup);

}  // namespace korvane::setupfile
