// The two ways a save writes a setup file, between which SaveSetupFile chooses by the stylesheet
// indent.xsl in the current directory. Both write the scratch file first and fail at the same
// steps with the same results; for the stylesheet the library ships they write the same bytes.
// Neither refuses a target that is the stylesheet itself (SaveSetupFile does).
#pragma once

#include <string>

#include "model/setup_document.h"
#include "setupfile/setup_file.h"

namespace korvane::setupfile {

// Builds the document in the DOM, writes it to the scratch file, and transforms it through the
// stylesheet indent.xsl, whatever that holds, into `path`.
SaveResult SaveThroughStylesheet(const model::SetupDocument& setup, const std::string& path);

// Writes the scratch file and `path` straight from the description, `path` in the layout that
// the stylesheet the library ships gives on this build, streamed in pieces; indent.xsl is not
// read.
SaveResult SaveDirectly(const model::SetupDocument& setup, const std::string& path);

}  // namespace korvane::setupfile
