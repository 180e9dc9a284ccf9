// An XML Schema of the setup file, made from the grammar's declaration, so that editors can
// check and complete a file as it is typed. It accepts every file that the command's check
// finds no fault with, and rejects the faults of the check that a schema can express.
#pragma once

#include <string>
#include <string_view>

namespace korvane::setupfile {

// The schema as a UTF-8 document; `maker` names what made it, for its documentation.
std::string SetupXmlSchema(std::string_view maker);

// The XML Schema pattern (implicitly anchored) of the decimals that the writer writes for the
// numbers from `min` to `max`: no blanks, no plus sign, no leading zeros, no "-0".
std::string DecimalPattern(long long min, long long max);

}  // namespace korvane::setupfile
